#include "html/entities.h"

#include "html/name_table.h"

#include <iterator>

namespace lumo {

namespace {

struct EntityEntry {
    std::string_view Name;
    std::string_view Value;
};

// Entries 9 to 104 stand for the bytes 160 to 255, in code order.
constexpr std::string_view Latin1Names[] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};
static_assert(std::size(Latin1Names) == 96);

constexpr char Latin1Bytes[96] = {
#define B(n) static_cast<char>(160 + n)
    B(0),  B(1),  B(2),  B(3),  B(4),  B(5),  B(6),  B(7),  B(8),  B(9),  B(10), B(11),
    B(12), B(13), B(14), B(15), B(16), B(17), B(18), B(19), B(20), B(21), B(22), B(23),
    B(24), B(25), B(26), B(27), B(28), B(29), B(30), B(31), B(32), B(33), B(34), B(35),
    B(36), B(37), B(38), B(39), B(40), B(41), B(42), B(43), B(44), B(45), B(46), B(47),
    B(48), B(49), B(50), B(51), B(52), B(53), B(54), B(55), B(56), B(57), B(58), B(59),
    B(60), B(61), B(62), B(63), B(64), B(65), B(66), B(67), B(68), B(69), B(70), B(71),
    B(72), B(73), B(74), B(75), B(76), B(77), B(78), B(79), B(80), B(81), B(82), B(83),
    B(84), B(85), B(86), B(87), B(88), B(89), B(90), B(91), B(92), B(93), B(94), B(95),
#undef B
};

struct EntityTable {
    EntityEntry Entries[104];
};

constexpr EntityTable MakeTable() {
    EntityTable t{{{"amp", "&"},
                   {"lt", "<"},
                   {"gt", ">"},
                   {"quot", "\""},
                   {"rsquo", "'"},
                   {"ndash", "-"},
                   {"trade", "\x99"},
                   {"hellip", "..."}}};
    for (int i = 0; i < 96; ++i)
        t.Entries[8 + i] = {Latin1Names[i], {&Latin1Bytes[i], 1}};
    return t;
}

constexpr EntityTable Entities = MakeTable();

} // namespace

std::string_view EntityValue(std::string_view name) {
    const EntityEntry* entry = FindByName(Entities.Entries, name);
    return entry ? entry->Value : std::string_view();
}

} // namespace lumo
