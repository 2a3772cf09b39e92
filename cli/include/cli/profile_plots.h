// The profile command's two figures: the pseudo-section of its apparent
// resistivities and the resistivity section of its fitted layers.
#pragma once

#include <string>

#include "cli/profile_output.h"

namespace tavrin::cli {

// Each writes its figure to `path`; a file that cannot be written throws
// CommandError (exit status 2), as invert --plot does.
void WriteProfilePseudoSection(const ProfileReport& report, const std::string& path);
void WriteProfileSection(const ProfileReport& report, const std::string& path);

}  // namespace tavrin::cli
