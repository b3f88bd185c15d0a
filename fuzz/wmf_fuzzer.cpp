// Fuzz target for the Windows metafile player.

#include "display/pictures/metafile_wmf.h"
#include "fuzz/metafile_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return veldra::PlayAnyMetafile<veldra::TWmfPicture>(data, size);
}
