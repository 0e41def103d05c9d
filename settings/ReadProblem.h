#pragma once

// Why a file could not be read at all.
enum class ReadProblem { None, Folder, NotAFile, TooLarge, NoPermission, ReadFailed };
