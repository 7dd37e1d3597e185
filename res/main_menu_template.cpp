#include "menu_template.h"
#include "resource_ids.h"
#include "strings.h"

namespace {

constexpr MenuItemTemplate kFileItems[] = {
    {ids::kFileOpen, strings::kMenuFileOpen},
    {ids::kFileSave, strings::kMenuFileSave},
    {ids::kFileSaveAs, strings::kMenuFileSaveAs},
    {ids::kFileClose, strings::kMenuFileClose},
    {0, ""},
    {ids::kFileBatch, strings::kMenuFileBatch},
    {0, ""},
    {ids::kAppExit, strings::kMenuAppExit},
};

constexpr MenuItemTemplate kEditItems[] = {
    {ids::kEditTextProperties, strings::kMenuEditTextProperties},
};

constexpr MenuItemTemplate kAboutItems[] = {
    {ids::kAppAbout, strings::kMenuAppAbout},
};

constexpr MenuPopupTemplate kPopups[] = {
    {strings::kMenuFile, kFileItems},
    {strings::kMenuEdit, kEditItems},
    {strings::kMenuAbout, kAboutItems},
};

constexpr MenuTemplate kMenu {ids::kMainMenu, kPopups};

} // namespace

const MenuTemplate &MainMenuTemplate()
{
    return kMenu;
}
