#pragma once
// Splits the bytes received from the push service into complete JSON objects.
// The service writes one object per message without any other framing, so a
// single read may carry several objects, or only the beginning of one. The
// framer follows braces outside JSON strings: each complete top-level object
// is handed out in order, an object cut off at the end of a read waits for the
// next read, and bytes between objects (blanks, line feeds, zero bytes) are
// skipped. An object still incomplete after 1 MiB is dropped, so a peer that
// never closes its object cannot make the buffer grow without bound.

#include <QByteArray>
#include <QList>

namespace push {

class PushFramer {
public:
    static constexpr qsizetype kMaxObjectBytes = 1024 * 1024;

    struct Result {
        QList<QByteArray> objects;   // complete objects, in order
        bool droppedOverlong = false; // an incomplete object passed the limit
    };

    Result feed(const QByteArray& bytes);
    // Forgets a partial object (a new connection starts afresh).
    void reset();
    qsizetype pendingBytes() const { return m_pending.size(); }

private:
    QByteArray m_pending;  // the object being received, from its '{'
    int m_nDepth = 0;
    bool m_bInString = false;
    bool m_bEscaped = false;
};

} // namespace push
