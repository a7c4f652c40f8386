#pragma once

// The grid of linked thumbnails that the user's category pages and the
// search's page share with the shipped category pages, so that all of them
// look and behave alike in the category pane. Colours are written as rgb():
// the first "#" of a category page must be its first template link.
namespace ThumbnailGrid {

inline constexpr char Style[] =
    R"(ul { list-style: none; margin: 0; padding: 0; display: grid; gap: 16px;
     grid-template-columns: repeat(auto-fill, minmax(160px, 1fr)); }
a { display: block; color: rgb(28, 28, 34); text-decoration: none; border-radius: 10px; padding: 8px;
    background: rgb(255, 255, 255); box-shadow: 0 1px 3px rgba(0, 0, 0, 0.12); }
a:focus, a:hover { outline: 3px solid rgb(51, 68, 204); outline-offset: 1px; }
img { display: block; width: 100%; height: auto; border-radius: 6px; border: 1px solid rgb(224, 222, 218); }
)";

} // namespace ThumbnailGrid
