#pragma once

#include <span>

// A menu described as data: popups in display order, each with its items.
struct MenuItemTemplate
{
    int id = 0;            // 0: a separator
    const char *text = ""; // UTF-8, with "&" before the mnemonic
};

struct MenuPopupTemplate
{
    const char *text = "";
    std::span<const MenuItemTemplate> items;
};

struct MenuTemplate
{
    int id = 0;
    std::span<const MenuPopupTemplate> popups;
};

// Menu 131 of the main window.
const MenuTemplate &MainMenuTemplate();
