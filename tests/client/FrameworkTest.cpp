// The client's application framework: message maps, send and post, the
// application's message filter, the document template with its frame and
// view, the active view, and the command-line tokens.
#include "client/framework/Application.h"
#include "client/framework/CommandLineInfo.h"
#include "client/framework/DocTemplate.h"
#include "client/framework/Document.h"
#include "client/framework/FrameWnd.h"
#include "client/framework/View.h"

#include "TestSupport.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using namespace framework;

namespace {

constexpr UINT kTestMessage = platform::WM_USER + 7;

// Counts the messages it sees and can swallow one message number.
class TestApp : public Application {
public:
    bool PreTranslateMessage(MSG& msg) override
    {
        seen.push_back(msg.message);
        return msg.message == swallowed;
    }
    std::vector<UINT> seen;
    UINT swallowed = 0;
};

// A view holding a second view, as the client's browser view holds the host
// view; the inner view holds a plain widget, as the host view holds the browser.
class InnerView : public View {
public:
    QWidget* content = nullptr;
    int OnCreate() override
    {
        content = new QWidget(this);
        content->setGeometry(0, 0, 50, 50);
        content->show();
        return 0;
    }
};

class OuterView : public View {
public:
    OuterView()
    {
        SetMessageHandler(platform::WM_SIZE, [this](WPARAM, LPARAM lParam) {
            lastSize = QSize(LOWORD(lParam), HIWORD(lParam));
            return LRESULT(0);
        });
    }
    int OnCreate() override
    {
        inner = new InnerView;
        inner->Create(this, QRect(10, 10, 60, 60), 308);
        return 0;
    }
    InnerView* inner = nullptr;
    QSize lastSize;
};

struct FrameworkTest : ::testing::Test {
    testsupport::ScopedRuntimeFolder runtime;
    TestApp app;

    FrameWnd* openDocument()
    {
        app.AddDocTemplate(std::make_unique<SingleDocTemplate>(
            "Browser\n\nBrowser", [] { return std::make_unique<Document>(); }, [] { return new FrameWnd; },
            [] { return new OuterView; }));
        return app.GetDocTemplate()->OpenDocumentFile({}, false);
    }

    ~FrameworkTest() override
    {
        delete app.m_pMainWnd;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

} // namespace

TEST_F(FrameworkTest, MessagesReachTheMessageMapSentAtOncePostedLaterThroughTheFilter)
{
    FrameWnd* frame = openDocument();
    ASSERT_NE(frame, nullptr);
    std::vector<WPARAM> handled;
    frame->SetMessageHandler(kTestMessage, [&](WPARAM wParam, LPARAM) {
        handled.push_back(wParam);
        return LRESULT(wParam * 2);
    });

    EXPECT_EQ(frame->SendMessage(kTestMessage, 21), 42);
    EXPECT_EQ(handled, std::vector<WPARAM>{21});

    EXPECT_TRUE(frame->PostMessage(kTestMessage, 5));
    EXPECT_EQ(handled.size(), 1u);
    ASSERT_TRUE(testsupport::waitUntil([&] { return handled.size() == 2; }));
    EXPECT_EQ(handled.back(), 5u);

    app.swallowed = kTestMessage;
    frame->PostMessage(kTestMessage, 6);
    app.seen.clear();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !app.seen.empty(); }));
    EXPECT_EQ(handled.size(), 2u);

    // A message without a handler goes to the default handling.
    EXPECT_EQ(frame->SendMessage(kTestMessage + 1), 0);
}

TEST_F(FrameworkTest, OpeningADocumentMakesTheMainFrameWithItsViewActive)
{
    FrameWnd* frame = openDocument();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(app.m_pMainWnd, frame);
    EXPECT_EQ(frame->GetWindowText(), "Browser");
    EXPECT_TRUE(platform::findWindow("Browser"));

    auto* view = dynamic_cast<OuterView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetDocument(), app.GetDocTemplate()->GetDocument());
    EXPECT_EQ(view->GetParentFrame(), frame);

    frame->resize(640, 480);
    frame->show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return view->geometry() == frame->rect(); }));
    EXPECT_EQ(view->lastSize, frame->size());
}

TEST_F(FrameworkTest, AClickMakesTheInnermostViewActive)
{
    FrameWnd* frame = openDocument();
    ASSERT_NE(frame, nullptr);
    frame->resize(400, 300);
    frame->show();
    auto* outer = dynamic_cast<OuterView*>(frame->GetActiveView());
    ASSERT_NE(outer, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));

    QTest::mouseClick(outer->inner->content, Qt::LeftButton);
    EXPECT_EQ(frame->GetActiveView(), outer->inner);

    QTest::mouseClick(outer, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(frame->GetActiveView(), outer);
}

TEST_F(FrameworkTest, ClosingTheMainFrameDestroysItAndItsViews)
{
    FrameWnd* frame = openDocument();
    ASSERT_NE(frame, nullptr);
    QPointer<FrameWnd> framePointer(frame);
    QPointer<View> view(frame->GetActiveView());

    frame->SendMessage(platform::WM_CLOSE);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(framePointer.isNull());
    EXPECT_TRUE(view.isNull());
    EXPECT_FALSE(platform::findWindow("Browser"));
}

TEST(CommandLine, EveryTokenReachesParseParamWithOneDashOrSlashStripped)
{
    struct Recorder : CommandLineInfo {
        void ParseParam(const char* param, bool flag, bool last) override
        {
            CommandLineInfo::ParseParam(param, flag, last);
            tokens.push_back({param, flag, last});
        }
        struct Token {
            std::string text;
            bool flag, last;
            bool operator==(const Token&) const = default;
        };
        std::vector<Token> tokens;
    };

    Application app;
    app.m_arguments = {"TolvanClient", "-http://a/b", "/title", "--locale=en", "-", "doc.txt"};
    Recorder info;
    app.ParseCommandLine(info);
    using Token = Recorder::Token;
    EXPECT_EQ(info.tokens, (std::vector<Token>{{"http://a/b", true, false},
                                               {"title", true, false},
                                               {"-locale=en", true, false},
                                               {"", true, false},
                                               {"doc.txt", false, true}}));
    EXPECT_EQ(info.m_nShellCommand, CommandLineInfo::FileOpen);
    EXPECT_EQ(info.m_strFileName, "doc.txt");
}
