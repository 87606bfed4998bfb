// The framework's device contexts take what their names say.
#include "CDC.h"

#include <gtest/gtest.h>

namespace {

POINT OriginOf(HDC dc)
{
    POINT origin{-1, -1};
    ::GetDCOrgEx(dc, &origin);
    return origin;
}

}  // namespace

TEST(DeviceContext, ClientContextStartsAtTheClientAreaAndWindowContextAtTheFrame)
{
    // A frame and a caption put the client area away from the window's corner.
    const HWND hwnd = ::CreateWindowExA(0, "STATIC", "dc", WS_OVERLAPPEDWINDOW, 240, 180, 300, 200, nullptr,
                                        nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hwnd, nullptr);
    RECT window{};
    ::GetWindowRect(hwnd, &window);
    POINT client{0, 0};
    ::ClientToScreen(hwnd, &client);
    ASSERT_NE(client.y, window.top);

    {
        CClientDC dc(hwnd);
        ASSERT_NE(dc.GetSafeHdc(), nullptr);
        const POINT origin = OriginOf(dc);
        EXPECT_EQ(origin.x, client.x);
        EXPECT_EQ(origin.y, client.y);
    }
    {
        CWindowDC dc(hwnd);
        ASSERT_NE(dc.GetSafeHdc(), nullptr);
        const POINT origin = OriginOf(dc);
        EXPECT_EQ(origin.x, window.left);
        EXPECT_EQ(origin.y, window.top);
    }
    ::DestroyWindow(hwnd);
}
