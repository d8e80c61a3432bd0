#ifndef __WrenObjectsFileConverter_H__
#define __WrenObjectsFileConverter_H__

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace Wren
{
    /** What wren-convert does: turns a partition objects file from its XML
        form (".objects") into its binary form (".objbinary") or back, or
        every objects file of a world folder.

        The input's form is told by its first bytes (a binary data file
        starts with "WBIN"), not by its name. Nothing stored is lost: the
        input is never written, an existing output is only replaced when
        asked to, and the output is written to a temporary file that
        replaces the target only once complete.

        Converting to binary never drops data silently: objects holding what
        the 276-byte record can not keep (children, dynamic properties, type
        data, over-long text) make the conversion fail with those objects
        named, unless loss is allowed; then what was left behind is listed
        (see PartitionXmlBinaryConvert::ConvetToBinary).
    */
    class ObjectsFileConverter
    {
    public:
        enum class Form
        {
            Missing,
            Xml,
            Binary
        };

        struct Options
        {
            /** Replace an existing output. */
            bool overwrite = false;
            /** Convert to binary even when the record can not keep
                everything, listing what was left behind. */
            bool allowLoss = false;
            /** Read the written file back and compare it with what the
                conversion meant to write (floats written as XML text keep
                their six significant digits). */
            bool verify = false;
            /** For a folder: the form to convert its files to. Missing:
                the other form of the folder's files, which must then all be
                of one form. */
            Form to = Form::Missing;
        };

        struct Result
        {
            bool ok = false;
            std::string input;
            std::string output;
            Form from = Form::Missing;
            size_t objects = 0;
            /** What the record could not keep, one line per object, when
                loss was allowed. */
            std::vector<std::string> dropped;
            /** The written file was read back and compared. */
            bool verified = false;
            /** One line saying why, when not ok. */
            std::string error;
        };

        struct FolderResult
        {
            bool ok = false;
            std::string folder;
            Form to = Form::Missing;
            /** One result per objects file converted or tried, in name order. */
            std::vector<Result> files;
            /** Why nothing was tried, when the folder itself is refused. */
            std::string error;
        };

        /** The form of the file at path, from its first bytes; Missing for a
            path that is no readable regular file. */
        static Form formOf(const std::string& path);
        /** The output name for an input of that form: ".objects" and
            ".objbinary" swap, any other name gets the new extension
            appended. */
        static std::string defaultOutput(const std::string& input, Form from);
        /** Converts input into output (defaultOutput when empty). */
        static Result convert(const std::string& input, const std::string& output,
                              const Options& options);
        /** Converts every ".objects" or ".objbinary" file below folder that
            is not yet in the target form, each beside itself. ok when every
            one converted and at least one was found. */
        static FolderResult convertFolder(const std::string& folder, const Options& options);

        /** The result for scripts: {"ok", "input", "output", "from", "to",
            "objects", "dropped", "verified", "error"}. */
        static nlohmann::json toJson(const Result& result);
        /** {"ok", "folder", "to", "converted", "files": [...], "error"}. */
        static nlohmann::json toJson(const FolderResult& result);
        /** The result for people: one line, and one more per dropped part. */
        static std::string describe(const Result& result);
        /** A line per file and a summary line. */
        static std::string describe(const FolderResult& result);
        static const char* formName(Form form);
    };
}

#endif
