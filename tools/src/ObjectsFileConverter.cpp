#include "ObjectsFileConverter.h"

#include "BinaryFileResource.h"
#include "DataElement.h"
#include "PartitionXmlBinaryConvert.h"
#include "SelectorDataFile.h"

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace Wren
{
    namespace
    {
        bool endsWith(const std::string& s, const std::string& tail)
        {
            return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
        }

        bool samePath(const std::string& a, const std::string& b)
        {
            std::error_code ec;
            if (fs::equivalent(a, b, ec))
                return true;
            return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
        }

        ObjectsFileConverter::Result& failed(ObjectsFileConverter::Result& r, const std::string& why)
        {
            r.ok = false;
            r.error = why;
            return r;
        }
    }

    ObjectsFileConverter::Form ObjectsFileConverter::formOf(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return Form::Missing;
        char magic[4] = {};
        in.read(magic, 4);
        if (in.gcount() == 4 && std::string(magic, 4) == "WBIN")
            return Form::Binary;
        return Form::Xml;
    }

    std::string ObjectsFileConverter::defaultOutput(const std::string& input, Form from)
    {
        const std::string xml = ".objects", binary = ".objbinary";
        if (from == Form::Binary)
            return endsWith(input, binary) ? input.substr(0, input.size() - binary.size()) + xml
                                           : input + xml;
        return endsWith(input, xml) ? input.substr(0, input.size() - xml.size()) + binary
                                    : input + binary;
    }

    const char* ObjectsFileConverter::formName(Form form)
    {
        switch (form)
        {
        case Form::Xml:
            return "xml";
        case Form::Binary:
            return "binary";
        default:
            return "missing";
        }
    }

    ObjectsFileConverter::Result ObjectsFileConverter::convert(const std::string& input,
                                                               const std::string& output,
                                                               bool overwrite)
    {
        Result r;
        r.input = input;
        r.from = formOf(input);
        if (r.from == Form::Missing)
            return failed(r, "can not open " + input);
        r.output = output.empty() ? defaultOutput(input, r.from) : output;
        if (samePath(r.input, r.output))
            return failed(r, "the output would replace the input " + input);
        std::error_code ec;
        if (!overwrite && fs::exists(r.output, ec))
            return failed(r, r.output + " exists (use --force to replace it)");

        std::string why;
        if (r.from == Form::Xml)
        {
            SelectorDataFile xml;
            if (!xml.load(input))
                return failed(r, input + " is not well-formed XML");
            std::unique_ptr<Ogre::BinaryFileResource> binary(
                PartitionXmlBinaryConvert::ConvetToBinary(&xml, &why));
            if (!binary)
                return failed(r, input + ": " + why);
            r.objects = binary->getRootElement()->getChildCount();
            if (!binary->save(r.output))
                return failed(r, "can not write " + r.output);
        }
        else
        {
            Ogre::BinaryFileResource binary;
            if (!binary.loadFromFile(input))
                return failed(r, input + " is not a readable binary objects file");
            std::unique_ptr<DataFile> xml(PartitionXmlBinaryConvert::ConvertToXml(&binary, &why));
            if (!xml)
                return failed(r, input + ": " + why);
            r.objects = binary.getRootElement()->getChildCount();
            if (!xml->save(r.output))
                return failed(r, "can not write " + r.output);
        }
        r.ok = true;
        return r;
    }

    nlohmann::json ObjectsFileConverter::toJson(const Result& r)
    {
        nlohmann::json j;
        j["ok"] = r.ok;
        j["input"] = r.input;
        j["output"] = r.output;
        j["from"] = formName(r.from);
        j["to"] = r.from == Form::Xml ? "binary" : r.from == Form::Binary ? "xml" : "";
        j["objects"] = r.objects;
        j["error"] = r.error;
        return j;
    }

    std::string ObjectsFileConverter::describe(const Result& r)
    {
        if (!r.ok)
            return r.error;
        return "converted " + std::to_string(r.objects) + " objects from " + formName(r.from) +
               " " + r.input + " to " + r.output;
    }
}
