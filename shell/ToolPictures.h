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

// The pictures of the report tree's lines by their index: 1 the knowledge base, 4 to 13 and
// 15 the grades of an answer (4 true, 15 undecided, 9 false), 16 an unknown answer, 17 a
// contradiction, 18 a justification. Any other index gives an empty (transparent) picture.
QPixmap ReportLine(int index, int size);

} // namespace kelvane::toolpictures
