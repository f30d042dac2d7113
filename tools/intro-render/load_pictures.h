#pragma once
#include "options.h"

#include <string>

// A folder named with --data must exist; otherwise returns false with error naming it.
bool checkDataFolder(const RenderOptions& options, std::string& error);

// Fills the image slots from options.dataDir, as the intro does (one warning per picture
// that cannot be loaded). A folder named with --data must exist and yield at least one
// picture; otherwise returns false with error naming the folder. The default folder may
// be missing: the moments are then drawn without pictures, as the intro would show them.
bool loadPictures(const RenderOptions& options, std::string& error);
