#pragma once
// What a file is, decided by its first bytes rather than its name, so that
// .cpl, .scr, .ocx and .mun modules are read like any other.
namespace vantorico {

enum class FileKind { Missing, Module, IconFile, Other };

FileKind DetectFileKind(const char* path);

}  // namespace vantorico
