// The headless backend's test interface: inject what a user would do, look at
// the in-memory screen. Injected events wait in a queue until the pump
// dispatches them, one per dispatch, as native events do.
#pragma once
#include <cstdint>

// Keys go to the window with the keyboard focus: code = key code (0 none),
// ch = the character typed (0 none).
void zeheadless_key(int code, int ch, bool down);
// Presses and releases a key: code, then the character on the press.
void zeheadless_keystroke(int code, int ch);
// Mouse at a screen point; button 0 left, 1 middle, 2 right. The window under
// the pointer (or the one that captured it) receives it in client coordinates.
void zeheadless_mouse(int x, int y, int button, bool down);
void zeheadless_click(int x, int y, int button);
void zeheadless_motion(int x, int y);
void zeheadless_wheel(int x, int y, bool forward);
// The user's operations on a window frame.
void zeheadless_close(int win);
void zeheadless_minimise(int win);
void zeheadless_user_move(int win, int x, int y);
void zeheadless_user_resize(int win, int w, int h);
void zeheadless_drop(int win, const char *file);
void zeheadless_tray_click(int win, int button);
// The virtual clock of the input events (double clicks need < 500 ms).
void zeheadless_advance(unsigned ms);

// Whether the desktop offers a tray (it does unless told otherwise).
void zeheadless_set_tray(bool present);

// The pointer's shape: "hand" or "standard".
const char *zeheadless_cursor(void);
// The window a popup was opened for, 0 none.
int zeheadless_owner(int win);

// What is on the screen.
bool zeheadless_exists(int win);
bool zeheadless_visible(int win);     // shown, not minimised
bool zeheadless_minimised(int win);
bool zeheadless_in_tray(int win);     // the window's tray icon is shown
bool zeheadless_above(int win);
int zeheadless_focus(void);           // window with the keyboard focus, 0 none
int zeheadless_capture(void);         // window that captured the mouse, 0 none
void zeheadless_rect(int win, int rect[4]);   // x, y, width, height
const char *zeheadless_title(int win);
// Stacking order of the shown windows, bottom first (native ids as window_at gives).
int zeheadless_zorder(long *ids, int max);
// Another program's window (a desktop-type one when desktop is set), put on
// top of the others; its native id.
long zeheadless_add_window(const char *title, int x, int y, int w, int h, bool minimised, bool desktop);
bool zeheadless_window_rect(long id, int rect[4]);
// How many times the window's pixels were copied to the screen (win_show)
// since it was created, and the area those copies covered in pixels.
long zeheadless_copies(int win);
long zeheadless_copied_area(int win);
// Pictures kept by the display: how many exist, whether they are offered
// (they are unless told otherwise), and the copies of them to a window.
int zeheadless_images(void);
void zeheadless_offer_images(bool offer);
// Copies the display makes later by itself (offered unless told otherwise;
// switching them off drops those waiting).
void zeheadless_offer_later_copies(bool offer);
long zeheadless_image_copies(int win);
long zeheadless_image_copied_area(int win);
// Another window covered part of ours and went away: the part shows rubbish
// (magenta) until the window repaints it on the expose message this queues.
void zeheadless_expose(int win, int x, int y, int w, int h);
// The composed screen: a pixel, or the whole screen as a 24-bit BMP file.
uint32_t zeheadless_pixel(int x, int y);
bool zeheadless_save_screen(const char *file);
// Forgets every window and event (between tests).
void zeheadless_reset(void);
