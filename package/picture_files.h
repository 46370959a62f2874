// Hiding a finished package in picture files and joining it back from them.
#pragma once

#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "package/bytes.h"

namespace package {

// Pads the package, splits it and replaces each picture by its carrying
// version, one at a time; "" on success, else the message. Every piece is
// checked against its picture before the first one is replaced; a picture
// is replaced only by a complete, verified file; and at the end the written
// pictures are joined back and compared with the package. Pictures that are
// not distinct files are refused (check_pictures in package/inputs.h)
// before anything is written.
std::string hide_in_pictures(std::span<const std::uint8_t> package,
                             std::span<const std::filesystem::path> pictures,
                             const std::function<void(std::size_t)>& picture_done);

// The package the carrying pictures hold together, in any order given.
std::string join_from_pictures(std::span<const std::filesystem::path> pictures, Bytes& package);

}  // namespace package
