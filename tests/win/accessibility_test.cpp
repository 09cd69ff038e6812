// A screen reader inside the program's process (a hook, the system's helpers) holds the objects themselves,
// not marshalled copies: every interface of an object leads back to it, never to the system's object.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <oleacc.h>

#include "optimize/form4.h"
#include "platform/win32/backend.h"
#include "settle.h"

namespace {

// The import library's IID_IAccessible is not the GUID itself.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

TEST(ScreenReader, EveryInterfaceOfAnObjectLeadsBackToIt) {
    win32::Backend backend(GetModuleHandleW(nullptr));
    win_tests::Plain form(backend, optimize::form4Design());  // named by a label, not its caption
    form.show();
    IAccessible* object = nullptr;
    ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(GetAncestor(win_tests::child(form, "Label1"), GA_ROOT),
                                                     OBJID_CLIENT, kIidAccessible,
                                                     reinterpret_cast<void**>(&object))));
    for (const IID* through : {&IID_IOleWindow, &IID_IEnumVARIANT}) {
        IUnknown *other = nullptr, *again = nullptr;
        ASSERT_TRUE(SUCCEEDED(object->QueryInterface(*through, reinterpret_cast<void**>(&other))));
        ASSERT_TRUE(SUCCEEDED(other->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&again))));
        EXPECT_EQ(again, object);
        other->Release();
        again->Release();
    }
    object->Release();
}

}  // namespace
