#include "FileError.h"

namespace {

class CFileCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "qal-file"; }
    std::string message(int value) const override {
        switch (static_cast<FileErrc>(value)) {
        case FileErrc::NotRegular:
            return "not a regular file";
        case FileErrc::Incomplete:
            return "the file was not written whole";
        }
        return "unknown file error";
    }
};

} // namespace

const std::error_category& FileCategory() {
    static const CFileCategory category; // immutable: safe to share
    return category;
}

std::error_code make_error_code(FileErrc value) {
    return {static_cast<int>(value), FileCategory()};
}

std::string FileReasonText(const std::error_code& error) {
    if (error == FileErrc::NotRegular) {
        return "To nie jest zwykły plik";
    }
    if (error == FileErrc::Incomplete) {
        return "Plik nie został zapisany w całości";
    }
    // Compared as conditions, so that the same words serve POSIX and Windows codes.
    static const struct {
        std::errc condition;
        const char* text;
    } kTexts[] = {
        {std::errc::permission_denied, "Brak uprawnień"},
        {std::errc::operation_not_permitted, "Brak uprawnień"},
        {std::errc::no_such_file_or_directory, "Nie ma takiego pliku ani katalogu"},
        {std::errc::not_a_directory, "Część ścieżki nie jest katalogiem"},
        {std::errc::is_a_directory, "To jest katalog"},
        {std::errc::no_space_on_device, "Brak miejsca na dysku"},
        {std::errc::file_too_large, "Przekroczono dopuszczalny rozmiar pliku"},
        {std::errc::read_only_file_system, "System plików jest tylko do odczytu"},
        {std::errc::io_error, "Błąd wejścia/wyjścia"},
        {std::errc::filename_too_long, "Za długa nazwa pliku"},
        {std::errc::too_many_symbolic_link_levels, "Za dużo poziomów dowiązań symbolicznych"},
        {std::errc::device_or_resource_busy, "Plik jest zajęty"},
        {std::errc::text_file_busy, "Plik jest zajęty"},
    };
    for (const auto& entry : kTexts) {
        if (error == entry.condition) {
            return entry.text;
        }
    }
    return error.message();
}

std::string CannotWriteFileText(const std::string& path, const std::error_code& error) {
    return "Nie można zapisać pliku '" + path + "': " + FileReasonText(error);
}

std::string CannotReadFileText(const std::string& path, const std::error_code& error) {
    return "Nie można odczytać pliku '" + path + "': " + FileReasonText(error);
}
