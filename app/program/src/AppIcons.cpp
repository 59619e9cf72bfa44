#include "corvel/program/StandardIcons.h"

#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"

#include <memory>

namespace corvel {

// The left column of the table first, then the right one.
const StandardIcon STANDARD_ICONS[STANDARD_ICON_COUNT] = {
    {16, 101, 0xe904f2afu}, // corvel
    {32, 101, 0x57ded9bdu}, // corvel_32
    {128, 126, 0x519c0f88u},
    {16, 106, 0x62cd67b8u}, // tab_trigger
    {16, 151, 0xfd1a73e7u}, // add
    {32, 151, 0xf1c091b8u}, // add_32
    {16, 152, 0x130181c4u}, // close
    {16, 162, 0x5cba1748u},
    {16, 163, 0xe0f1f1aau},
    {16, 176, 0x6c3a29dcu},
    {16, 164, 0x58f349d7u},
    {16, 166, 0x9ab43e4fu},
    {16, 171, 0x9d2e2d82u},
    {16, 171, 0xfdebd5f7u},
    {16, 167, 0x3ebdf1a1u},
    {16, 168, 0x904d7367u},
    {16, 107, 0x8c9f3610u}, // file
    {16, 108, 0xeca209cdu}, // folder
    {16, 169, 0x893b51c4u}, // folder_virtual
    {16, 172, 0x1ffb9c92u},
    {16, 173, 0x1a1d05cau},
    {16, 174, 0x6143257fu},
};

void registerStandardIcons() {
    for (const StandardIcon& icon : STANDARD_ICONS)
        afResources::add(icon.symbol, std::make_unique<afIcon>(icon.resource, icon.size));
}

} // namespace corvel
