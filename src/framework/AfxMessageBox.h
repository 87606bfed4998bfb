#pragma once
// Message boxes of the program, and the one point through which every box
// reaches the platform, so that a test can answer boxes and read them.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Owned by the main window (or the dialog last opened over it), captioned
// with the application title; an OK box without an icon of its own shows the
// exclamation icon, a Yes/No box the question icon.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);

// Every message box of the program goes through here.
int PlatformMessageBox(HWND owner, const char* text, const char* caption, UINT type);

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// While alive, boxes are not shown: each is recorded and answered by the
// answerer (or with the box's first button: IDOK, IDYES ...).
class MessageBoxSeam {
public:
    using Answerer = std::function<int(const MessageBoxCall&)>;
    explicit MessageBoxSeam(Answerer answerer = nullptr);
    ~MessageBoxSeam();
    MessageBoxSeam(const MessageBoxSeam&) = delete;
    MessageBoxSeam& operator=(const MessageBoxSeam&) = delete;

    // Answers the next boxes in order; after them the answerer (or the default).
    void Answer(std::vector<int> answers) { m_queued = std::move(answers); m_next = 0; }
    const std::vector<MessageBoxCall>& Calls() const { return m_calls; }

    int Show(HWND owner, const char* text, const char* caption, UINT type);

private:
    Answerer m_answerer;
    std::vector<int> m_queued;
    std::size_t m_next = 0;
    std::vector<MessageBoxCall> m_calls;
    MessageBoxSeam* m_previous;
};
