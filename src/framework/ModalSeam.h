#pragma once
// The point through which a test drives the modal dialogs of the program as
// they run: once a dialog has initialised, inside its own modal loop, the
// next queued driver gets it and may read and set its controls, click its
// buttons with real messages and end it.
#include <functional>

class CDialog;

class ModalSeam {
public:
    using Driver = std::function<void(CDialog& dialog)>;

    // While alive, every modal dialog takes the next driver in turn. A dialog
    // with no driver left, or one that its driver left open, is ended with
    // IDCANCEL and counted, so that a test never waits on a dialog.
    ModalSeam();
    ~ModalSeam();
    ModalSeam(const ModalSeam&) = delete;
    ModalSeam& operator=(const ModalSeam&) = delete;

    void Push(Driver driver);
    int Driven() const { return m_driven; }
    int Unexpected() const { return m_unexpected; }  // dialogs without a driver
    int LeftOpen() const { return m_leftOpen; }      // dialogs their driver did not end
    std::size_t Pending() const;                     // drivers not yet used

    // Called by CDialog inside the modal loop once the dialog has initialised.
    static bool Active();
    static void Drive(CDialog& dialog);

private:
    struct Impl;
    Impl* m_impl;
    int m_driven = 0;
    int m_unexpected = 0;
    int m_leftOpen = 0;
    ModalSeam* m_previous;
};
