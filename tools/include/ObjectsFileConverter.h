#ifndef __WrenObjectsFileConverter_H__
#define __WrenObjectsFileConverter_H__

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>

namespace Wren
{
    /** What wren-convert does: turns a partition objects file from its XML
        form (".objects") into its binary form (".objbinary") or back.

        The input's form is told by its first bytes (a binary data file
        starts with "WBIN"), not by its name. Nothing stored is lost: the
        input is never written, an existing output is only replaced when
        asked to, and the output is written to a temporary file that
        replaces the target only once complete. Objects whose text does not
        fit the binary record make the whole conversion fail (see
        PartitionXmlBinaryConvert).
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

        struct Result
        {
            bool ok = false;
            std::string input;
            std::string output;
            Form from = Form::Missing;
            size_t objects = 0;
            /** One line saying why, when not ok. */
            std::string error;
        };

        /** The form of the file at path, from its first bytes. */
        static Form formOf(const std::string& path);
        /** The output name for an input of that form: ".objects" and
            ".objbinary" swap, any other name gets the new extension
            appended. */
        static std::string defaultOutput(const std::string& input, Form from);
        /** Converts input into output (defaultOutput when empty). */
        static Result convert(const std::string& input, const std::string& output,
                              bool overwrite);
        /** The result for scripts: {"ok", "input", "output", "from", "to",
            "objects", "error"}. */
        static nlohmann::json toJson(const Result& result);
        /** The result for people: one line. */
        static std::string describe(const Result& result);
        static const char* formName(Form form);
    };
}

#endif
