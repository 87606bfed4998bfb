#include "DwmBinding.h"

#include "SystemLibrary.h"

namespace {

const DwmCalls* g_replacement = nullptr;

// The library stays loaded while the process runs.
class BoundLibrary {
public:
    BoundLibrary()
    {
        // From the system folder only: the program runs from a removable
        // medium, whose folder must not supply a library of this name.
        m_module = LoadSystemLibrary("dwmapi.dll");
        if (m_module == nullptr)
            return;
        Bind(m_calls.isCompositionEnabled, "DwmIsCompositionEnabled");
        Bind(m_calls.updateThumbnailProperties, "DwmUpdateThumbnailProperties");
        Bind(m_calls.registerThumbnail, "DwmRegisterThumbnail");
        Bind(m_calls.unregisterThumbnail, "DwmUnregisterThumbnail");
        Bind(m_calls.extendFrameIntoClientArea, "DwmExtendFrameIntoClientArea");
    }
    ~BoundLibrary()
    {
        if (m_module != nullptr)
            ::FreeLibrary(m_module);
    }
    BoundLibrary(const BoundLibrary&) = delete;
    BoundLibrary& operator=(const BoundLibrary&) = delete;

    const DwmCalls& Calls() const { return m_calls; }

private:
    template <class F>
    void Bind(F& entry, const char* name)
    {
        entry = BindEntry<F>(m_module, name);
    }

    HMODULE m_module = nullptr;
    DwmCalls m_calls{};
};

}  // namespace

const DwmCalls& DwmBinding()
{
    if (g_replacement != nullptr)
        return *g_replacement;
    static const BoundLibrary library;
    return library.Calls();
}

void ReplaceDwmBinding(const DwmCalls* calls)
{
    g_replacement = calls;
}
