// The language file reader on an arbitrary file: every translation it
// yields names a window, a component and a property.
#include "fuzz/fuzz_support.h"
#include "platform/ini_file.h"
#include "tools/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumo;
    const std::string name = fuzz::WorkFolder() + "input.lng";
    fuzz::WriteFile(name, data, size);
    for (const TTranslation& t : ReadTranslations(TIniFile(name))) {
        if (t.Window.empty() || t.Component.empty() || t.Property.empty()) __builtin_trap();
        if (DecodeLineBreaks(EncodeLineBreaks(t.Text)) != t.Text) __builtin_trap();
    }
    return 0;
}
