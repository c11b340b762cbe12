#pragma once
// The windows name Windows' Japanese fonts; map them to metric-compatible fonts found here.
namespace rovik {
void installFontSubstitutions();
}
