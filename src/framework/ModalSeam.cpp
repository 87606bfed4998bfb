#include "ModalSeam.h"

#include "CDialog.h"

#include <deque>

namespace {
ModalSeam* g_seam = nullptr;
}  // namespace

struct ModalSeam::Impl {
    std::deque<Driver> drivers;
};

ModalSeam::ModalSeam() : m_impl(new Impl), m_previous(g_seam)
{
    g_seam = this;
}

ModalSeam::~ModalSeam()
{
    g_seam = m_previous;
    delete m_impl;
}

void ModalSeam::Push(Driver driver)
{
    m_impl->drivers.push_back(std::move(driver));
}

std::size_t ModalSeam::Pending() const
{
    return m_impl->drivers.size();
}

bool ModalSeam::Active()
{
    return g_seam != nullptr;
}

void ModalSeam::Drive(CDialog& dialog)
{
    ModalSeam* seam = g_seam;
    if (seam == nullptr)
        return;
    if (seam->m_impl->drivers.empty()) {
        ++seam->m_unexpected;
        dialog.EndDialog(IDCANCEL);
        return;
    }
    // The loop would show the dialog once idle; the driver meets it as a user would.
    if (!dialog.IsWindowVisible()) {
        dialog.ShowWindow(SW_SHOWNORMAL);
        dialog.UpdateWindow();
    }
    Driver driver = std::move(seam->m_impl->drivers.front());
    seam->m_impl->drivers.pop_front();
    ++seam->m_driven;
    driver(dialog);
    if (dialog.IsRunningModal()) {
        ++seam->m_leftOpen;
        dialog.EndDialog(IDCANCEL);
    }
}
