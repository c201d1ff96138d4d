// The settings window: the window, the page of the selected tab, the event
// dispatch by tab, the live preview, F5 and the helpers the tabs share.
#include "settings_internal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "placeholders.h"
#include "sevenseg.h"
#include "timer_window.h"
#include "zebutton.h"
#include "zefont.h"
#include "zegout.h"
#include "zemetrics.h"
#include "zepage.h"
#include "zetabbar.h"
#include "zeupdown.h"
#include "zeutf8.h"
#include "zeview.h"
#include "zewindow.h"

namespace {

// The window object lives for the whole run; only its native part comes
// and goes.
zeWindow *s_win = nullptr;
zeGUIScript *s_page = nullptr;
int s_tab = SETTINGS_TAB_QUIMO;
int s_subTab = 0;
// The page text: what the tabs write (UTF-8 in the sources) and the text
// the page is built from (Latin-1, the toolkit's characters).
std::string s_text, s_latin1;
int s_canvasHeight = 0;
bool s_building = false;

// What the preview drew last.
char s_previewText[SEVENSEG_TEXTMAX + 1] = "";
bool s_previewColon = false;

const char *const kTabsEnglish = "QUIMO|Timer|Format|Size/Position/Colors|Background|Settings|Help & Info";
const char *const kTabsGerman =
    "QUIMO|Zeit|Format|Größe/Position/Farben|Hintergrund|Einstellungen|Hilfe";

bool open_window() {
    if (!s_win) s_win = new zeWindow();
    if (s_win->open) return true;
    // "//norepaint" and "//noredraw" are no options: the parser passes them by.
    if (!zewindow_open(s_win, "%s,x=50%%,y=50%%,xs=%d,ys=%d,bgcolor=white,%s,noclose,noquit,//norepaint,//noredraw,modal",
                       "QUIMO", (int)SETTINGS_WINDOW_WIDTH, g_app.settingsWindowHeight, "")) {
        write_log("settings window: cannot open");
        return false;
    }
    return true;
}

void append_tab_text() {
    switch (s_tab) {
    case SETTINGS_TAB_QUIMO: tab_quimo_text(); break;
    case SETTINGS_TAB_TIMER: tab_timer_text(); break;
    case SETTINGS_TAB_FORMAT: tab_format_text(); break;
    case SETTINGS_TAB_WINDOW: tab_window_text(); break;
    case SETTINGS_TAB_BACKGROUND: tab_background_text(); break;
    case SETTINGS_TAB_SETTINGS: tab_settings_text(); break;
    case SETTINGS_TAB_HELP: tab_help_text(); break;
    }
}

void fill_tab() {
    switch (s_tab) {
    case SETTINGS_TAB_TIMER: tab_timer_fill(); break;
    case SETTINGS_TAB_FORMAT: tab_format_fill(); break;
    case SETTINGS_TAB_WINDOW: tab_window_fill(); break;
    case SETTINGS_TAB_SETTINGS: tab_settings_fill(); break;
    default: break;
    }
}

// With QUIMO_SETTINGS_TRACE set, every build lists where its controls,
// tabs and points are (content coordinates), so scripts can operate them.
void trace_page() {
    static const char *trace = getenv("QUIMO_SETTINGS_TRACE");
    if (!trace || !*trace) return;
    printf("page %d %d %d\n", s_tab, s_subTab, g_app.language);
    for (int i = 0; i < s_page->nused; i++) {
        const zePageSlot &s = s_page->slots[i];
        if (!s.inuse) continue;
        const zeControl *c = (const zeControl *)s.control;
        if (!c) {
            printf("point %s %d\n", s.name, s.coordinate);
            continue;
        }
        printf("control %s %s %d %d %d %d\n", s.name, s.kind, c->x, c->y, c->w, c->h);
        if (strcmp(s.kind, "tabbar") != 0) continue;
        const zeTabBar *bar = (const zeTabBar *)c;
        for (int t = 0; t < bar->count; t++)
            printf("tab %s %d %d %d\n", s.name, t, c->x + bar->tabs[t].left, bar->tabs[t].right - bar->tabs[t].left + 1);
    }
    printf("page ready\n");
    fflush(stdout);
}

// The control that has the keyboard focus on the page shown now.
bool focused_name(char *name) {
    if (!s_page || !s_page->built) return false;
    for (int i = 0; i < s_page->nused; i++) {
        const zePageSlot &s = s_page->slots[i];
        const zeControl *c = (const zeControl *)s.control;
        if (s.inuse && c && c->focus) {
            snprintf(name, ZEPAGE_NAMESIZE, "%s", s.name);
            return true;
        }
    }
    return false;
}

int s_builtTab = -1, s_builtSubTab = -1;

void build() {
    zeView *v = zeview_of_window(s_win);
    if (!v) return;
    s_building = true;
    // A page built again under the user's typing (a wider format, a date
    // held to its month) keeps the focus where it was.
    char focus[ZEPAGE_NAMESIZE] = "";
    bool keep = s_tab == s_builtTab && s_subTab == s_builtSubTab && focused_name(focus);
    s_text.clear();
    s_latin1.clear();
    page_add("<y=10><font=arial18><b><tabbar=MainTab,x=0,xs=100%%,style=2,tabs=%s></b><font=arial16>\n",
             german() ? kTabsGerman : kTabsEnglish);
    s_canvasHeight = 0;
    append_tab_text();
    page_add_latin1("");
    int height = s_canvasHeight > 0 ? s_canvasHeight : s_win->height;
    size_t at = s_latin1.find("<ysize=");
    if (at != std::string::npos) {
        int h = atoi(s_latin1.c_str() + at + 7);
        if (h > 0 && h < 32000) height = h;
    }
    zeview_resize_content(v, s_win->width, height, false, true);
    zeview_set_scroll_y(v, 0);
    zeview_make_standard(v);
    zegraphic_clear(0xffffff);
    if (!s_page) s_page = new zeGUIScript();
    int end = zepage_build(s_page, s_latin1.c_str());
    // A help document longer than its canvas would be cut off: the canvas
    // grows to the page and the page is built on it again.
    if (end + 20 > height && end + 20 < 32000) {
        zeview_resize_content(v, s_win->width, end + 20, false, true);
        zeview_make_standard(v);
        zegraphic_clear(0xffffff);
        zepage_build(s_page, s_latin1.c_str());
    }
    zepage_set_int(s_page, "MainTab", s_tab);
    fill_tab();
    if (keep) zepage_focus(s_page, focus);
    s_builtTab = s_tab, s_builtSubTab = s_subTab;
    s_previewText[0] = 0;
    sevenseg_force_full_redraw();
    zeview_refresh(v);
    g_app.settingsWindowOpen = true;
    s_building = false;
    trace_page();
}

// The preview on the Timer and Format tabs: the timer's display text in the
// small digits at the page's point (xTimer, yTimer), framed.
void draw_preview() {
    char text[SEVENSEG_TEXTMAX + 1];
    merge_display_text(g_format.formatString, g_format.digitText, g_timer.difference < 0, text, sizeof text);
    bool forced = sevenseg_take_preview_redraw();
    SevenSegmentFont *f = &g_previewFont;
    if (!forced && strcmp(text, s_previewText) == 0 && s_previewColon == g_timerFont.colonOn) return;
    snprintf(s_previewText, sizeof s_previewText, "%s", text);
    s_previewColon = g_timerFont.colonOn;
    // Loaded when first shown: most runs never open the settings window.
    if (!f->loaded) sevenseg_load_preview_font();
    if (!f->loaded) return;
    zeView *v = zeview_of_window(s_win);
    zePixmap *px = v ? zeview_pixmap(v) : nullptr;
    if (!px) return;
    int x = point("xTimer"), y = point("yTimer");
    int w = sevenseg_text_width(f, text), h = f->charHeight + 4;
    if (f->darkColour != g_settings.inactiveColour || f->litColour != g_settings.activeColour)
        sevenseg_recolour(f, g_settings.inactiveColour, g_settings.activeColour);
    bool blank = (uint32_t)zepxmap_getpixel(px, x, y) == 0xffffff;
    int refreshw = w + 2;
    if (forced) {
        zepxmap_fillrect(px, x, y, 800, h, 0xffffff);
        refreshw = 800;
    }
    if (forced || blank) {
        zepxmap_fillrect(px, x, y, w + 2, 1, 0xc0c0c0);
        zepxmap_fillrect(px, x, y, 1, h, 0xc0c0c0);
        zepxmap_fillrect(px, x, y + h - 1, w + 2, 1, 0x404040);
        zepxmap_fillrect(px, x + w + 1, y, 1, h, 0x404040);
    }
    f->colonOn = g_timerFont.colonOn;
    sevenseg_draw_into_pixmap(f, px, x + 2, y + 2, "%s", text);
    zeview_handler(v, ZEREQ_REFRESH, x, y, refreshw, h, 0, 0, 0, 0);
}

}  // namespace

// ---- shared helpers -------------------------------------------------------------

void page_add(const char *fmt, ...) {
    char buf[8192];
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n < 0) return;
    if (n < (int)sizeof buf) {
        s_text.append(buf, n);
        return;
    }
    // Longer texts (the help page) are formatted again at their full size.
    std::string big(n + 1, '\0');
    va_start(ap, fmt);
    vsnprintf(&big[0], n + 1, fmt, ap);
    va_end(ap);
    s_text.append(big.c_str(), n);
}

void page_add_latin1(const char *text) {
    s_latin1 += zeutf8_to_latin1(s_text.data(), s_text.size());
    s_text.clear();
    s_latin1 += text;
}

bool german() { return g_app.language == 1; }
const char *tr(const char *en, const char *de) { return german() ? de : en; }
void set_canvas_height(int height) { s_canvasHeight = height; }

zeGUIScript *page() { return s_page; }
bool is_event(int id, const char *name) { return s_page && zepage_is_event(s_page, id, name); }
bool is_change(int id, const char *name) { return s_page && zepage_is_change(s_page, id, name); }
int get_int(const char *name) { return s_page ? zepage_get_int(s_page, name) : 0; }
void set_int(const char *name, int value) {
    if (s_page) zepage_set_int(s_page, name, value);
}
void set_enabled(const char *name, bool on) {
    if (!s_page) return;
    if (on) zepage_enable(s_page, name);
    else zepage_disable(s_page, name);
}
int point(const char *name) { return get_int(name); }

static zeUpDownControl *find_updown(const char *name) {
    if (!s_page) return nullptr;
    for (int i = 0; i < s_page->nused; i++) {
        const zePageSlot &s = s_page->slots[i];
        if (s.inuse && s.control && strcmp(s.kind, "updowncontrol") == 0 && strcmp(s.name, name) == 0)
            return (zeUpDownControl *)s.control;
    }
    return nullptr;
}

// Typing into an up-down posts its text event, not the main event: both
// change the setting, or a typed value would be lost.
bool updown_event(int id, const char *name) {
    if (is_event(id, name)) return true;
    zeUpDownControl *u = find_updown(name);
    return u && id == zeupdown_textid(u);
}

int updown_value(const char *name) {
    zeUpDownControl *u = find_updown(name);
    if (!u) return 0;
    int v = zeupdown_value(u);
    if (v < u->rules.min) v = u->rules.min;
    if (v > u->rules.max) v = u->rules.max;
    return v;
}

void set_button_face(const char *name, uint32_t colour) {
    zeButton *b = s_page ? (zeButton *)zepage_find(s_page, name) : nullptr;
    if (!b) return;
    b->c.bgcolor = (int)colour;
    zebutton_redraw(b);
}

void settings_rebuild() {
    if (settings_window()) build();
}

void recompute() {
    build_format_string();
    sevenseg_force_full_redraw();
}

void choosers_begin() {
    settings_window_close();
    timer_window_close();
}

void choosers_end() {
    timer_window_compute_height();
    timer_window_compute_width();
    timer_window_create();
    settings_window_open_or_refresh();
}

int screen_width() { return guimetrics("screenxs"); }
int screen_height() { return guimetrics("screenys"); }

void draw_canvas_text(int x, int y, int w, int h, uint32_t colour, const char *text) {
    zeView *v = settings_window() ? zeview_of_window(s_win) : nullptr;
    zePixmap *px = v ? zeview_pixmap(v) : nullptr;
    if (!px) return;
    zepxmap_fillrect(px, x, y, w, h, 0xffffff);
    zefont_draw_text(px, zefont_resolve_name("Arial16"), x, y, (int)colour, false, false, -1, w, -1, text);
    zeview_handler(v, ZEREQ_REFRESH, x, y, w, h, 0, 0, 0, 0);
}

bool have_file(const char *name) { return access(name, F_OK) == 0; }

bool copy_file(const char *from, const char *to) {
    FILE *in = app_open_file(from, "rb");
    if (!in) return false;
    FILE *out = fopen(to, "wb");
    bool ok = out != nullptr;
    char buf[65536];
    size_t n;
    while (ok && (n = fread(buf, 1, sizeof buf, in)) > 0) ok = fwrite(buf, 1, n, out) == n;
    fclose(in);
    if (out && fclose(out) != 0) ok = false;
    if (!ok) {
        write_log("cannot copy %s to %s", from, to);
        unlink(to);
    }
    return ok;
}

// ---- the window ------------------------------------------------------------------

zeWindow *settings_window() { return s_win && s_win->open ? s_win : nullptr; }
zeGUIScript *settings_window_page() { return settings_window() ? s_page : nullptr; }
int settings_window_tab() { return s_tab; }
int settings_window_subtab() { return s_subTab; }
ZE_HOT bool settings_window_shows_preview() {
    return settings_window() && (s_tab == SETTINGS_TAB_TIMER || s_tab == SETTINGS_TAB_FORMAT);
}

void settings_window_open_or_refresh() {
    // A format that grows while a page is built asks for a refresh: the
    // build under way shows it.
    if (s_building) return;
    if (!open_window()) return;
    build();
}

void settings_window_show_tab(int tab, int subtab) {
    if (tab >= 0 && tab < SETTINGS_TABS) s_tab = tab;
    if (subtab == 0 || subtab == 1) s_subTab = subtab;
    settings_window_open_or_refresh();
}

void settings_window_close() {
    if (!settings_window()) return;
    // The controls go before the window they live in.
    if (s_page) zepage_destroy(s_page, 0);
    s_builtTab = -1;
    zewindow_close(s_win);
    g_app.settingsWindowOpen = false;
}

ZE_HOT bool settings_window_close_request(int id) { return settings_window() && id == zewindow_closeid(s_win); }

void settings_window_save_screen(const char *file) {
    if (!settings_window() || !zewindow_save(s_win, "%s", file)) write_log("cannot save %s", file);
}

void settings_window_show_position() {
    if (settings_window() && s_tab == SETTINGS_TAB_WINDOW && s_subTab == 0) tab_window_show_position();
}

void settings_window_handle_event(int id) {
    if (!settings_window() || !s_page) return;
    if (id == display_tick_id()) {
        if (s_tab == SETTINGS_TAB_TIMER || s_tab == SETTINGS_TAB_FORMAT) draw_preview();
        if (s_tab == SETTINGS_TAB_SETTINGS) tab_settings_tick();
        return;
    }
    if (is_event(id, "MainTab")) {
        int tab = get_int("MainTab");
        if (tab >= 0 && tab < SETTINGS_TABS) s_tab = tab;
        build();
        return;
    }
    switch (s_tab) {
    case SETTINGS_TAB_QUIMO: tab_quimo_event(id); break;
    case SETTINGS_TAB_TIMER: tab_timer_event(id); break;
    case SETTINGS_TAB_FORMAT: tab_format_event(id); break;
    case SETTINGS_TAB_WINDOW:
        if (is_event(id, "tab2")) {
            s_subTab = get_int("tab2") == 1 ? 1 : 0;
            build();
            return;
        }
        tab_window_event(id);
        break;
    case SETTINGS_TAB_BACKGROUND: tab_background_event(id); break;
    case SETTINGS_TAB_SETTINGS: tab_settings_event(id); break;
    case SETTINGS_TAB_HELP: tab_help_event(id); break;
    }
}
