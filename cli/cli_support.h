#pragma once

// Small pieces the drawing sub-commands share.

#include <QGuiApplication>
#include <memory>
#include <string>

namespace veldra::cli {

// Largest canvas side the sub-commands accept.
inline constexpr int kMaxCanvasSide = 8192;

// "WxH" with both sides 1..kMaxCanvasSide.
bool ParseCanvasSize(const std::string& text, int& width, int& height);

// False, with a message naming the command, when FILE is missing or not a regular file.
bool CheckInputFile(const char* command, const std::string& file);

// Metafile pictures and textures may draw text, which needs a GUI application:
// one on the offscreen platform unless another platform is asked for. Returns
// nothing when an application exists already.
std::unique_ptr<QGuiApplication> MakeHeadlessApplication();

}  // namespace veldra::cli
