#include "traytool/push/PushFramer.h"

namespace push {

void PushFramer::reset()
{
    m_pending.clear();
    m_nDepth = 0;
    m_bInString = false;
    m_bEscaped = false;
}

PushFramer::Result PushFramer::feed(const QByteArray& bytes)
{
    Result result;
    for (char c : bytes) {
        if (m_nDepth == 0) {
            if (c == '{') {
                m_pending.append(c);
                m_nDepth = 1;
            }
            continue;  // anything between objects
        }
        m_pending.append(c);
        if (m_bInString) {
            if (m_bEscaped)
                m_bEscaped = false;
            else if (c == '\\')
                m_bEscaped = true;
            else if (c == '"')
                m_bInString = false;
        } else if (c == '"') {
            m_bInString = true;
        } else if (c == '{') {
            ++m_nDepth;
        } else if (c == '}' && --m_nDepth == 0) {
            result.objects.append(m_pending);
            reset();
            continue;
        }
        if (m_pending.size() > kMaxObjectBytes) {
            reset();
            result.droppedOverlong = true;
        }
    }
    return result;
}

} // namespace push
