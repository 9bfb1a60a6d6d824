#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/seams.h"
#include "platform_test_resource.h"
#include "win_test_support.h"

namespace {

constexpr UINT ID_BASE_ONLY = 0x8001;
constexpr UINT ID_APP_ONLY = 0x8002;
constexpr UINT ID_NOBODY = 0x8003;

// Records the messages it sees, from the very first one.
class LoggingDialog : public CDialog {
public:
    explicit LoggingDialog(UINT id = IDD_TEST_PLAIN) : CDialog(id) {}
    std::vector<UINT> messages;
    std::vector<std::string> events;

    BOOL OnInitDialog() override
    {
        events.push_back("init");
        return CDialog::OnInitDialog();
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

class BaseDialog : public LoggingDialog {
public:
    static const MessageMap* GetThisMessageMap()
    {
        static const MessageMapEntry entries[] = {
            MapSize<&BaseDialog::OnBaseSize>(),
            MapCommand<ID_BASE_ONLY, &BaseDialog::OnBaseCommand>(),
        };
        static const MessageMap map = MakeMessageMap(CDialog::GetThisMessageMap(), entries);
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

    void OnBaseSize(UINT, int cx, int cy) { events.push_back("base size " + std::to_string(cx) + "x" + std::to_string(cy)); }
    void OnBaseCommand() { events.push_back("base command"); }
};

class DerivedDialog : public BaseDialog {
public:
    const MessageMap* GetMessageMap() const override
    {
        static const MessageMapEntry entries[] = {
            MapSize<&DerivedDialog::OnSize>(),
            MapMessage<WM_SETTEXT, &DerivedDialog::OnSetText>(),
        };
        static const MessageMap map = MakeMessageMap(BaseDialog::GetThisMessageMap(), entries);
        return &map;
    }

    void OnSize(UINT, int cx, int cy) { events.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy)); }
    // Lets the default processing set the text, then looks at the result.
    LRESULT OnSetText(WPARAM, LPARAM)
    {
        const LRESULT result = Default();
        events.push_back("text now " + std::string(WindowText(m_hWnd).size(), '*'));
        return result;
    }
};

class HelpApp : public ScriptedApp {
public:
    int commands = 0;
    const MessageMap* GetMessageMap() const override
    {
        static const MessageMapEntry entries[] = {
            MapCommand<ID_APP_ONLY, &HelpApp::OnAppCommand>(),
        };
        static const MessageMap map = MakeMessageMap(CWinApp::GetThisMessageMap(), entries);
        return &map;
    }
    void OnAppCommand() { ++commands; }
};

std::size_t IndexOf(const std::vector<UINT>& v, UINT message)
{
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == message) {
            return i;
        }
    }
    return v.size();
}

}  // namespace

TEST(Window, FromHandleGivesOwnTemporaryOrNoObject)
{
    ScriptedApp app;
    LoggingDialog own;
    ASSERT_TRUE(own.Create(IDD_TEST_PLAIN));
    HWND foreign = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(foreign, nullptr);
    CWnd::DeleteTempMap();

    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    EXPECT_EQ(CWnd::FromHandle(own.m_hWnd), &own);
    EXPECT_EQ(CWnd::FromHandlePermanent(own.m_hWnd), &own);
    EXPECT_EQ(AfxTemporaryWindowCount(), 0u);

    CWnd* temporary = CWnd::FromHandle(foreign);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->m_hWnd, foreign);
    EXPECT_EQ(CWnd::FromHandle(foreign), temporary) << "one object per handle";
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    EXPECT_EQ(AfxTemporaryWindowCount(), 1u);

    app.CWinApp::OnIdle(0);
    app.CWinApp::OnIdle(1);
    EXPECT_EQ(AfxTemporaryWindowCount(), 0u);
    EXPECT_TRUE(::IsWindow(foreign)) << "freeing the object leaves the foreign window alone";
    ::DestroyWindow(foreign);
}

TEST(Window, DialogObjectSeesEveryMessageFromTheFirst)
{
    ScriptedApp app;
    DerivedDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));

    const std::size_t create = IndexOf(dialog.messages, WM_NCCREATE);
    const std::size_t size = IndexOf(dialog.messages, WM_SIZE);
    const std::size_t init = IndexOf(dialog.messages, WM_INITDIALOG);
    ASSERT_LT(create, dialog.messages.size());
    ASSERT_LT(size, dialog.messages.size());
    ASSERT_LT(init, dialog.messages.size());
    EXPECT_LT(create, size);
    EXPECT_LT(size, init) << "the first size notification comes during creation";

    ASSERT_GE(dialog.events.size(), 2u);
    EXPECT_EQ(dialog.events[0].rfind("size ", 0), 0u) << dialog.events[0];
    EXPECT_EQ(dialog.events[1], "init");
}

TEST(Window, MessageMapsChainToTheBaseAndFallBackToDefault)
{
    HelpApp app;
    DerivedDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));
    dialog.events.clear();

    dialog.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 80));
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"size 120x80"})) << "the derived handler wins";

    dialog.events.clear();
    dialog.SendMessage(WM_COMMAND, ID_BASE_ONLY, 0);
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"base command"}));

    dialog.SendMessage(WM_COMMAND, ID_APP_ONLY, 0);
    EXPECT_EQ(app.commands, 1) << "commands the dialog does not take go to the application";
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_ONLY, EN_CHANGE), reinterpret_cast<LPARAM>(dialog.m_hWnd));
    EXPECT_EQ(app.commands, 1) << "a control notification is not a command";
    dialog.SendMessage(WM_COMMAND, ID_NOBODY, 0);

    // No handler: the dialog manager's default processing answers.
    EXPECT_EQ(WindowText(dialog.m_hWnd), L"Plain");
    dialog.events.clear();
    ::SetWindowTextW(dialog.m_hWnd, L"abc");
    EXPECT_EQ(WindowText(dialog.m_hWnd), L"abc");
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"text now ***"})) << "Default() ran inside the handler";
}

TEST(Window, DestroyingTheMainWindowEndsTheLoopWithZero)
{
    class SelfDeleting : public LoggingDialog {
    public:
        explicit SelfDeleting(std::vector<std::string>& log) : log_(log) {}
        ~SelfDeleting() override { log_.push_back("destructor"); }

    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_DESTROY) {
                log_.push_back("destroy");
            }
            return LoggingDialog::WindowProc(message, wParam, lParam);
        }
        void PostNcDestroy() override
        {
            log_.push_back("post-nc-destroy");
            delete this;
        }

    private:
        std::vector<std::string>& log_;
    };

    ScriptedApp app;
    std::vector<std::string> log;
    auto* dialog = new SelfDeleting(log);
    ASSERT_TRUE(dialog->Create(IDD_TEST_PLAIN));
    dialog->ShowWindow(SW_SHOW);
    app.m_pMainWnd = dialog;
    HWND hWnd = dialog->m_hWnd;

    int idleAfterDestroy = 0;
    bool destroyed = false;
    app.idle = [&](LONG) -> BOOL {
        if (destroyed) {
            ++idleAfterDestroy;
            ::PostQuitMessage(99);  // only reached if the loop failed to stop
            return TRUE;
        }
        destroyed = true;
        dialog->DestroyWindow();
        return TRUE;
    };

    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(idleAfterDestroy, 0) << "the quit message is taken before any further idle pass";
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(log, (std::vector<std::string>{"destroy", "post-nc-destroy", "destructor"}));
}
