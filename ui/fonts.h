#pragma once

namespace morvane {

// Maps the font families the window names to the Japanese fonts installed here. Must run
// before the first widget is created.
void installFontSubstitutions();

} // namespace morvane
