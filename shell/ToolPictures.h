#pragma once

#include <QIcon>
#include <QPixmap>

namespace kelvane::toolpictures {

// The pictures of the four button tools, drawn at 16 x 16 pixels (and at twice that size for
// screens with a higher pixel ratio).
QIcon New();
QIcon Open();
QIcon Save();
QIcon Print();

// The program's logo: three questions in two layers, joined by links.
QPixmap Logo(int size);

} // namespace kelvane::toolpictures
