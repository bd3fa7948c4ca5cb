#include "app/settings.h"

#include "platform/ini_file.h"

namespace lumo {

namespace {
TColor ReadColor(const TIniFile& ini, const char* key, TColor current) {
    return static_cast<TColor>(ini.ReadInteger("Colors", key, static_cast<int>(current)));
}

void WriteColor(TIniFile& ini, const char* key, TColor color) {
    ini.WriteInteger("Colors", key, static_cast<int>(color));
}
// The section of the SOCKS server; its password is kept as typed, like the
// HTTP proxy's settings in "urls.txt", in the user's own folder.
constexpr const char* SocksSection = "Socks";
} // namespace

TSettings ReadSettings(const TIniFile& ini, const TSettings& current) {
    TSettings s = current;
    TMainWindowPlacement& p = s.Placement;
    p.Maximized = ini.ReadBool("MainForm", "Maximized", false);
    if (!p.Maximized) {
        p.Top = ini.ReadInteger("MainForm", "Top", p.Top);
        p.Left = ini.ReadInteger("MainForm", "Left", p.Left);
        p.Width = ini.ReadInteger("MainForm", "Width", p.Width);
        p.Height = ini.ReadInteger("MainForm", "Height", p.Height);
    }
    TBrowserDefaults& b = s.Browser;
    b.DefFontName = ini.ReadString("Font", "Name", b.DefFontName);
    b.DefFontSize = ini.ReadInteger("Font", "Size", b.DefFontSize);
    b.DefFontColor = StringToColor(ini.ReadString("Font", "Color", "clBtnText"), b.DefFontColor);
    b.DefBackground = ReadColor(ini, "Background", b.DefBackground);
    b.DefHotSpotColor = ReadColor(ini, "Hotspot", b.DefHotSpotColor);
    b.DefOverLinkColor = ReadColor(ini, "Overlink", b.DefOverLinkColor);
    b.DefVisitedLinkColor = ReadColor(ini, "Visitedlink", b.DefVisitedLinkColor);
    s.RetainCache = ini.ReadBool("Cache", "Retain", s.RetainCache);
    TSocksSettings& socks = s.Socks;
    socks.Server = ini.ReadString(SocksSection, "Server", socks.Server);
    socks.Port = ini.ReadString(SocksSection, "Port", socks.Port);
    socks.Level = ini.ReadString(SocksSection, "Level", socks.Level);
    socks.Usercode = ini.ReadString(SocksSection, "User", socks.Usercode);
    socks.Password = ini.ReadString(SocksSection, "Password", socks.Password);
    s.TrustFile = ini.ReadString("Security", "TrustFile", s.TrustFile);
    s.TimeTravelDate = ini.ReadString("TimeTravel", "Date", s.TimeTravelDate);
    s.TimeTravelArchive = ini.ReadString("TimeTravel", "Archive", s.TimeTravelArchive);
    return s;
}

bool WriteBrowserDefaults(TIniFile& ini, const TBrowserDefaults& b) {
    ini.BeginUpdate(); // one save for all of them
    ini.WriteString("Font", "Name", b.DefFontName);
    ini.WriteInteger("Font", "Size", b.DefFontSize);
    ini.WriteString("Font", "Color", ColorToString(b.DefFontColor));
    WriteColor(ini, "Background", b.DefBackground);
    WriteColor(ini, "Hotspot", b.DefHotSpotColor);
    WriteColor(ini, "Overlink", b.DefOverLinkColor);
    WriteColor(ini, "Visitedlink", b.DefVisitedLinkColor);
    return ini.EndUpdate();
}

void WriteSettings(TIniFile& ini, const TSettings& s, TWindowState state) {
    ini.BeginUpdate(); // one save for all of them
    WriteBrowserDefaults(ini, s.Browser);
    switch (state) {
    case TWindowState::Normal:
        ini.WriteInteger("MainForm", "Top", s.Placement.Top);
        ini.WriteInteger("MainForm", "Left", s.Placement.Left);
        ini.WriteInteger("MainForm", "Width", s.Placement.Width);
        ini.WriteInteger("MainForm", "Height", s.Placement.Height);
        ini.WriteBool("MainForm", "Maximized", false);
        break;
    case TWindowState::Maximized: ini.WriteBool("MainForm", "Maximized", true); break;
    case TWindowState::Minimized: break;
    }
    ini.WriteBool("Cache", "Retain", s.RetainCache);
    ini.WriteString(SocksSection, "Server", s.Socks.Server);
    ini.WriteString(SocksSection, "Port", s.Socks.Port);
    ini.WriteString(SocksSection, "Level", s.Socks.Level);
    ini.WriteString(SocksSection, "User", s.Socks.Usercode);
    ini.WriteString(SocksSection, "Password", s.Socks.Password);
    ini.WriteString("Security", "TrustFile", s.TrustFile);
    ini.WriteString("TimeTravel", "Date", s.TimeTravelDate);
    ini.WriteString("TimeTravel", "Archive", s.TimeTravelArchive);
    ini.EndUpdate();
}

} // namespace lumo
