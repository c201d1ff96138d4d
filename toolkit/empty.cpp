// Placeholder translation unit for a toolkit library that has no sources yet.
void ze_empty_library_marker() {}
