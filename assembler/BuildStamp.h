#pragma once
// The version and build stamp shown by the banner and the listing header.

namespace zernasm {

extern const char kBuildDate[];
extern const char kBuildTime[];
// The title line between the two borders of the banner and the listing header.
extern const char kTitleLine[];

}  // namespace zernasm
