#include "decks/ZipArchive.h"

#include <zip.h>

#include <memory>

namespace rovik::decks {
namespace {

struct ArchiveCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

void setError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

// Opens read-only over the caller's bytes (no copy).
Archive openArchive(const std::string& bytes, std::string* error) {
    // libzip takes no bytes at all for an empty archive; no file the program reads is one.
    if (bytes.size() < 22) {
        setError(error, "not a ZIP archive");
        return nullptr;
    }
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &ze);
    if (!src) {
        setError(error, zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return nullptr;
    }
    zip_t* z = zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &ze);
    if (!z) {
        setError(error, zip_error_strerror(&ze));
        zip_source_free(src);
    }
    zip_error_fini(&ze);
    return Archive(z);
}

} // namespace

bool zipMemberNames(const std::string& zipBytes, std::vector<std::string>& names, std::string* error) {
    Archive z = openArchive(zipBytes, error);
    if (!z) return false;
    names.clear();
    zip_int64_t n = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const char* name = zip_get_name(z.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (name) names.emplace_back(name);
    }
    return true;
}

ZipStatus readZipMember(const std::string& zipBytes, const std::string& name, std::uint64_t limit,
                        std::string& out, std::string* error) {
    Archive z = openArchive(zipBytes, error);
    if (!z) return ZipStatus::NotZip;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(z.get(), name.c_str(), ZIP_FL_ENC_RAW, &st) != 0) {
        setError(error, "no member " + name);
        return ZipStatus::Missing;
    }
    if ((st.valid & ZIP_STAT_SIZE) && st.size > limit) {
        setError(error, name + " expands to " + std::to_string(st.size) + " bytes");
        return ZipStatus::TooLarge;
    }
    zip_file_t* f = zip_fopen_index(z.get(), st.index, 0);
    if (!f) {
        setError(error, zip_strerror(z.get()));
        return ZipStatus::Damaged;
    }
    out.clear();
    char buffer[1 << 16];
    ZipStatus status = ZipStatus::Ok;
    for (;;) {
        zip_int64_t got = zip_fread(f, buffer, sizeof buffer);
        if (got < 0) {
            setError(error, zip_file_strerror(f));
            status = ZipStatus::Damaged;
            break;
        }
        if (got == 0) break;
        if (out.size() + static_cast<std::uint64_t>(got) > limit) {
            setError(error, name + " expands past " + std::to_string(limit) + " bytes");
            status = ZipStatus::TooLarge;
            break;
        }
        out.append(buffer, static_cast<std::size_t>(got));
    }
    zip_fclose(f);
    if (status != ZipStatus::Ok) out.clear();
    return status;
}

bool buildZip(const std::vector<ZipEntry>& entries, std::string& zipBytes, std::string* error) {
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &ze);
    if (!buffer) {
        setError(error, zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return false;
    }
    zip_source_keep(buffer); // read back after zip_close
    zip_t* z = zip_open_from_source(buffer, ZIP_TRUNCATE, &ze);
    zip_error_fini(&ze);
    auto fail = [&](const std::string& text) {
        setError(error, text);
        zip_source_free(buffer);
        return false;
    };
    if (!z) return fail("cannot create archive");
    for (const ZipEntry& e : entries) {
        zip_source_t* data = zip_source_buffer(z, e.bytes.data(), e.bytes.size(), 0);
        if (!data || zip_file_add(z, e.name.c_str(), data, ZIP_FL_ENC_UTF_8) < 0) {
            if (data) zip_source_free(data);
            std::string text = zip_strerror(z);
            zip_discard(z);
            return fail(text);
        }
    }
    if (zip_close(z) != 0) {
        std::string text = zip_strerror(z);
        zip_discard(z);
        return fail(text);
    }
    zipBytes.clear();
    if (zip_source_open(buffer) < 0) return fail("cannot read archive back");
    char chunk[1 << 16];
    zip_int64_t got;
    while ((got = zip_source_read(buffer, chunk, sizeof chunk)) > 0)
        zipBytes.append(chunk, static_cast<std::size_t>(got));
    zip_source_close(buffer);
    zip_source_free(buffer);
    return got == 0;
}

} // namespace rovik::decks
