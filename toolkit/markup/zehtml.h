// HTML help pages: a small subset of HTML (headings, bold, big and small,
// pre, centre, lists, rules, font and span colours, pictures, links and
// anchors, and layout comments) converted into page markup, so that a help
// file a browser can show and print is shown inside a window as well.
//
// Links become "link" controls named "htmllink_001", "htmllink_002", ...
// carrying their target as "url=", anchors become points "htmlypos_001", ...,
// both numbered from the caller's first number. A picture is shown from the
// ".pcx", ".bmp" or ".xpm" file of its base name (relative names are found
// from the working directory); a missing one leaves "### Image not
// displayed: NAME ###" in the page.
#pragma once
#include <cstddef>

enum {
    ZEHTML_TAGMAX = 999,     // characters kept of one tag's content
    ZEHTML_LINKTEXTMAX = 200, // characters kept of a link's text (it lives inside a tag)
    ZEHTML_FONTMIN = 12,      // font sizes the font tags name (the Arial and crnew sets)
    ZEHTML_FONTMAX = 26,
};

// Converts the HTML file and appends the markup to the zero-terminated text
// in buf, which holds size bytes in all; what does not fit is cut (with a
// line "zehtml_append: ..."), never written past the end. False when the
// file cannot be opened (nothing appended) or has no body tag (only the
// initial font tag appended); true otherwise.
bool zehtml_append(char *buf, size_t size, const char *filename, int first);

// The same for HTML text in memory (len bytes, zeros allowed).
bool zehtml_append_text(char *buf, size_t size, const char *html, size_t len, int first);
