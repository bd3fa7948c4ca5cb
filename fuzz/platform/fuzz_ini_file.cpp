// The settings reader on an arbitrary file, then reads and writes.
#include "fuzz/fuzz_support.h"
#include "platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumo;
    const std::string name = fuzz::WorkFolder() + "lumo.ini";
    fuzz::WriteFile(name, data, size);
    TIniFile ini(name);
    ini.ReadString("MainForm", "Top", "");
    ini.ReadInteger("Font", "Size", 12);
    ini.ReadBool("Cache", "Retain", true);
    ini.BeginUpdate();
    ini.WriteString("Font", "Name", "Arial");
    ini.WriteInteger("MainForm", "Width", 800);
    ini.WriteBool("New Section", "Key", false);
    ini.EndUpdate();
    return 0;
}
