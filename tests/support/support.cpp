// Test support is header-only for now; this keeps the library non-empty.
namespace tavio::test {
int SupportLibraryAnchor() { return 0; }
}  // namespace tavio::test
