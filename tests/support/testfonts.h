#pragma once

// Drawings and text measures in tests depend on the fonts the machine has: a desktop with
// LibreOffice prefers Liberation 2 over the Liberation 1.07 the setup script installs, and every
// glyph then differs. A test that draws or measures calls pin() from its initMain(), before the
// application exists, so that fontconfig reads only tests/support/fonts.conf.
namespace testfonts {

void pin();

} // namespace testfonts
