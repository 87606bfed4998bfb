#include "CGlobalData.h"

#include <cstddef>

namespace {

// A font made here, deleted when the process ends.
class SharedFont {
public:
    explicit SharedFont(HFONT font) : m_hFont(font) {}
    ~SharedFont()
    {
        if (m_hFont != nullptr)
            ::DeleteObject(m_hFont);
    }
    SharedFont(const SharedFont&) = delete;
    SharedFont& operator=(const SharedFont&) = delete;
    HFONT Get() const { return m_hFont; }

private:
    HFONT m_hFont;
};

HFONT MakeBoldGuiFont()
{
    LOGFONTA font{};
    if (::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) == 0)
        return nullptr;
    font.lfWeight = FW_BOLD;
    font.lfUnderline = FALSE;
    return ::CreateFontIndirectA(&font);
}

HFONT MakeMenuFont()
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    BOOL ok = ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    if (!ok) {
        // Systems before Vista know the record without its last field.
        metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
        ok = ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    }
    return ok ? ::CreateFontIndirectA(&metrics.lfMenuFont) : nullptr;
}

}  // namespace

HCURSOR CGlobalData::GetHandCursor()
{
    static const HCURSOR cursor = ::LoadCursorA(nullptr, IDC_HAND);
    return cursor;
}

HFONT CGlobalData::GetBoldGuiFont()
{
    static const SharedFont font(MakeBoldGuiFont());
    return font.Get();
}

HFONT CGlobalData::GetMenuFont()
{
    static const SharedFont font(MakeMenuFont());
    return font.Get();
}

DWORD CGlobalData::GetWindowsMajorVersion()
{
    static const DWORD major = [] {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
        return ::GetVersionExA(&info) ? info.dwMajorVersion : 0;
    }();
    return major;
}
