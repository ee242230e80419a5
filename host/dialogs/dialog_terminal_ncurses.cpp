// Dialogs on the terminal (see dialog_terminal.h): the dialog's character
// cells drawn with ncurses, the focused control shown reversed, an open
// pick list below its control; keys go to the dialog model.
#include "dialogs/dialog_terminal.h"

#define NCURSES_WIDECHAR 1
#include <ncurses.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <string>

namespace standin {

namespace {

constexpr const char* kHint =
    "Tab, strza\xC5\x82ki: nast\xC4\x99pne pole   Enter: lista   Spacja: zaznacz   F12: Importuj   ESC: Anuluj";

std::string utf8Of(wint_t character) {
  std::string text;
  uint32_t c = static_cast<uint32_t>(character);
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | (c >> 12));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (c >> 18));
    text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
  return text;
}

void drawOpenList(const DialogModel& model, int top, int left) {
  const DialogField& field = model.fields()[model.focus()];
  int row, column, width;
  if (!model.controlArea(field.control, row, column, width)) return;
  int shown = std::min(static_cast<int>(field.items.size()), std::max(1, LINES - (top + row + 1)));
  int first = std::max(0, model.listCursor() - shown + 1);
  for (int i = 0; i < shown; ++i) {
    int item = first + i;
    std::vector<std::string> cells = utf8Characters(field.items[item]);
    cells.resize(static_cast<size_t>(width), " ");
    std::string line;
    for (const std::string& cell : cells) line += cell;
    if (item == model.listCursor()) attron(A_REVERSE);
    mvaddstr(top + row + 1 + i, left + column, line.c_str());
    if (item == model.listCursor()) attroff(A_REVERSE);
  }
}

void drawDialog(const DialogModel& model) {
  erase();
  int top = std::max(0, (LINES - model.height() - 1) / 2);
  int left = std::max(0, (COLS - model.width()) / 2);
  DialogCells cells = model.draw();
  for (size_t r = 0; r < cells.size(); ++r) {
    for (size_t c = 0; c < cells[r].size(); ++c)
      mvaddstr(top + static_cast<int>(r), left + static_cast<int>(c), cells[r][c].c_str());
  }
  if (!model.fields().empty()) {
    int row, column, width;
    if (model.controlArea(model.fields()[model.focus()].control, row, column, width)) {
      mvchgat(top + row, left + column, width, A_REVERSE, 0, nullptr);
    }
  }
  mvaddstr(top + model.height(), left + 1, kHint);
  if (model.listOpen()) drawOpenList(model, top, left);
  refresh();
}

void pressKey(DialogModel& model, int kind, wint_t key) {
  if (kind == KEY_CODE_YES) {
    switch (key) {
      case KEY_UP:
        model.press(DialogKey::up);
        return;
      case KEY_DOWN:
        model.press(DialogKey::down);
        return;
      case KEY_LEFT:
        model.press(DialogKey::left);
        return;
      case KEY_RIGHT:
        model.press(DialogKey::right);
        return;
      case KEY_BTAB:
        model.press(DialogKey::backTab);
        return;
      case KEY_ENTER:
        model.press(DialogKey::enter);
        return;
      case KEY_BACKSPACE:
        model.press(DialogKey::backspace);
        return;
      default:
        if (key == static_cast<wint_t>(KEY_F(12))) model.press(DialogKey::f12);
        return;
    }
  }
  switch (key) {
    case L'\t':
      model.press(DialogKey::tab);
      return;
    case L'\n':
    case L'\r':
      model.press(DialogKey::enter);
      return;
    case L' ':
      model.press(DialogKey::space);
      return;
    case 27:
      model.press(DialogKey::escape);
      return;
    case 8:
    case 127:
      model.press(DialogKey::backspace);
      return;
    default:
      if (key >= 0x20) model.press(DialogKey::character, utf8Of(key));
      return;
  }
}

}  // namespace

bool terminalDialogBuilt() { return true; }

bool terminalDialogUsable() { return isatty(0) && isatty(1) && std::getenv("TERM") != nullptr; }

void runTerminalDialog(DialogModel& model) {
  std::string previousLocale = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "");
  initscr();
  cbreak();
  noecho();
  keypad(stdscr, TRUE);
  set_escdelay(25);
  curs_set(0);
  while (!model.closed()) {
    drawDialog(model);
    wint_t key = 0;
    int kind = get_wch(&key);
    if (kind == ERR) continue;
    pressKey(model, kind, key);
  }
  endwin();
  std::setlocale(LC_ALL, previousLocale.c_str());
}

}  // namespace standin
