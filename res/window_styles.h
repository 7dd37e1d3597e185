#pragma once

#include <cstdint>

// Window and control style bits of the dialog templates, with the values the templates were
// designed with, so that a template reads as it was drawn.
namespace styles {

constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_DISABLED = 0x08000000;
constexpr std::uint32_t WS_CAPTION = 0x00C00000;
constexpr std::uint32_t WS_BORDER = 0x00800000;
constexpr std::uint32_t WS_VSCROLL = 0x00200000;
constexpr std::uint32_t WS_HSCROLL = 0x00100000;
constexpr std::uint32_t WS_SYSMENU = 0x00080000;
constexpr std::uint32_t WS_THICKFRAME = 0x00040000;
constexpr std::uint32_t WS_GROUP = 0x00020000;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;
constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr std::uint32_t WS_MAXIMIZEBOX = 0x00010000;

constexpr std::uint32_t DS_MODALFRAME = 0x80;
constexpr std::uint32_t DS_SETFONT = 0x40;
constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;

constexpr std::uint32_t BS_PUSHBUTTON = 0x0;
constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1;
constexpr std::uint32_t BS_AUTOCHECKBOX = 0x3;
constexpr std::uint32_t BS_GROUPBOX = 0x7;
constexpr std::uint32_t BS_TYPEMASK = 0xF;

constexpr std::uint32_t SS_LEFT = 0x0;
constexpr std::uint32_t SS_CENTER = 0x1;
constexpr std::uint32_t SS_RIGHT = 0x2;
constexpr std::uint32_t SS_ICON = 0x3;
constexpr std::uint32_t SS_BLACKFRAME = 0x7;
constexpr std::uint32_t SS_ETCHEDHORZ = 0x10;
constexpr std::uint32_t SS_ETCHEDFRAME = 0x12;
constexpr std::uint32_t SS_TYPEMASK = 0x1F;
constexpr std::uint32_t SS_NOPREFIX = 0x80;

constexpr std::uint32_t ES_AUTOHSCROLL = 0x80;

constexpr std::uint32_t SBS_HORZ = 0x0;
constexpr std::uint32_t SBS_VERT = 0x1;

constexpr std::uint32_t TBS_HORZ = 0x0;
constexpr std::uint32_t TBS_VERT = 0x2;
constexpr std::uint32_t TBS_BOTH = 0x8;
constexpr std::uint32_t TBS_NOTICKS = 0x10;

constexpr std::uint32_t PBS_SMOOTH = 0x1;

constexpr std::uint32_t LBS_NOINTEGRALHEIGHT = 0x100;
constexpr std::uint32_t CBS_DROPDOWNLIST = 0x3;

} // namespace styles
