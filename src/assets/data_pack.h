#pragma once
// Loading the whole data pack (the files of data_pack_manifest.h) from a folder.

// Fills every image slot from the pictures under dataDir (kDataFolder or any folder; a
// missing trailing slash is added). One warning per picture that cannot be loaded, or a
// single line naming the resolved folder when none can; slots that fail stay empty. The
// pictures share kMaxPackDecodedBytes: the first that does not fit is named in one warning
// that also counts the later ones that do not fit; pictures that fit still load.
void loadImagesFrom(const char* dataDir);

// loadImagesFrom(kDataFolder), relative to the working directory.
void loadImages();
