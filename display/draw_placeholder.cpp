// Keeps the drawing library non-empty until its first sources land.
namespace veldra {
int DrawLibraryVersion() {
    return 1;
}
}  // namespace veldra
