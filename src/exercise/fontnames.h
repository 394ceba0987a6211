// The names the font button offers: each installed family once, under its
// plain name, and only families that can write Spanish.
#pragma once

#include <QStringList>

namespace letro {

// Qt names a family that several foundries make "C059 [UKWN]", "C059 [URW]":
// each family once, under its plain name, in the order first seen.
QStringList plainFamilyNames(const QStringList &families);

// The installed families that write Latin script and are not symbol or
// private fonts, by their plain names.
QStringList spanishFontFamilies();

} // namespace letro
