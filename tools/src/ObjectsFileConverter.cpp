#include "ObjectsFileConverter.h"

#include "BinaryFileResource.h"
#include "CompleteObjectDataInfo.h"
#include "DataElement.h"
#include "PartitionXmlBinaryConvert.h"
#include "SelectorDataFile.h"

#include <OgreStringConverter.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

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

        /** The objects of a partition as the binary form holds them. */
        struct StoredObjects
        {
            bool showBounds = false;
            std::vector<CompleteObjectDataInfo> records;

            bool read(Ogre::BinaryFileResource& file, std::string& why)
            {
                Ogre::BinaryDataElement* root = file.getRootElement();
                if (!root)
                {
                    why = "no root element";
                    return false;
                }
                const unsigned char* flag = static_cast<const unsigned char*>(root->getBuf());
                showBounds = flag && flag[0] != 0;
                records.clear();
                for (Ogre::IBinaryDataElement* e = root->getFirstChildElement(); e;
                     e = e->getNextChildElement())
                {
                    CompleteObjectDataInfo record;
                    if (!record.fromBytes(e->getBuf(), e->getSize()))
                    {
                        why = "record " + std::to_string(records.size()) + " is not 276 bytes";
                        return false;
                    }
                    records.push_back(record);
                }
                return true;
            }

            /** Reads a written objects file of that form. */
            bool readFile(const std::string& path, ObjectsFileConverter::Form form, std::string& why)
            {
                std::unique_ptr<Ogre::BinaryFileResource> binary;
                if (form == ObjectsFileConverter::Form::Binary)
                {
                    binary.reset(new Ogre::BinaryFileResource());
                    if (!binary->loadFromFile(path))
                    {
                        why = "not a readable binary objects file";
                        return false;
                    }
                }
                else
                {
                    SelectorDataFile xml;
                    if (!xml.load(path))
                    {
                        why = "not well-formed XML";
                        return false;
                    }
                    binary.reset(PartitionXmlBinaryConvert::ConvetToBinary(&xml, &why));
                    if (!binary)
                        return false;
                }
                return read(*binary, why);
            }

            /** Each float as it reads back from its text in an XML file. */
            void roundFloatsAsText()
            {
                for (CompleteObjectDataInfo& r : records)
                    for (float* f : {&r.posX, &r.posY, &r.posZ, &r.orientX, &r.orientY, &r.orientZ,
                                     &r.orientW, &r.scaleX, &r.scaleY, &r.scaleZ})
                        *f = Ogre::StringConverter::parseReal(Ogre::StringConverter::toString(*f));
            }

            bool sameAs(const StoredObjects& other, std::string& why) const
            {
                if (showBounds != other.showBounds)
                {
                    why = "the partition's ShowBounds differs";
                    return false;
                }
                if (records.size() != other.records.size())
                {
                    why = std::to_string(records.size()) + " objects instead of " +
                          std::to_string(other.records.size());
                    return false;
                }
                for (size_t i = 0; i < records.size(); ++i)
                    if (std::memcmp(&records[i], &other.records[i], CompleteObjectDataInfo::Size) != 0)
                    {
                        why = "object " + std::to_string(i) + " (\"" + other.records[i].getName() +
                              "\") differs";
                        return false;
                    }
                return true;
            }
        };
    }

    ObjectsFileConverter::Form ObjectsFileConverter::formOf(const std::string& path)
    {
        std::error_code ec;
        if (!fs::is_regular_file(path, ec))
            return Form::Missing;
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
                                                               const Options& options)
    {
        Result r;
        r.input = input;
        r.from = formOf(input);
        std::error_code ec;
        if (r.from == Form::Missing)
            return failed(r, fs::is_directory(input, ec) ? input + " is a folder"
                                                         : "can not open " + input);
        r.output = output.empty() ? defaultOutput(input, r.from) : output;
        const Form to = r.from == Form::Xml ? Form::Binary : Form::Xml;
        const Form named = endsWith(r.output, ".objbinary") ? Form::Binary
                           : endsWith(r.output, ".objects") ? Form::Xml
                                                            : to;
        if (named != to)
            return failed(r, r.output + " names the " + formName(named) + " form, but " + input +
                                 " is " + formName(r.from) + " and converts to " + formName(to));
        if (samePath(r.input, r.output))
            return failed(r, "the output would replace the input " + input);
        if (!options.overwrite && fs::exists(r.output, ec))
            return failed(r, r.output + " exists (use --force to replace it)");

        std::string why;
        StoredObjects expected;
        if (r.from == Form::Xml)
        {
            SelectorDataFile xml;
            if (!xml.load(input))
                return failed(r, input + (endsWith(input, ".objbinary")
                                              ? " is not a binary objects file"
                                              : " is not well-formed XML"));
            std::unique_ptr<Ogre::BinaryFileResource> binary(PartitionXmlBinaryConvert::ConvetToBinary(
                &xml, &why, options.allowLoss, &r.dropped));
            if (!binary)
                return failed(r, input + ": " + why);
            if (!expected.read(*binary, why))
                return failed(r, input + ": " + why);
            r.objects = expected.records.size();
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
            if (!expected.read(binary, why))
                return failed(r, input + ": " + why);
            // The XML form keeps six significant digits of each float.
            expected.roundFloatsAsText();
            r.objects = expected.records.size();
            if (!xml->save(r.output))
                return failed(r, "can not write " + r.output);
        }
        if (options.verify)
        {
            StoredObjects written;
            if (!written.readFile(r.output, r.from == Form::Xml ? Form::Binary : Form::Xml, why))
                return failed(r, "can not read back " + r.output + ": " + why);
            if (!written.sameAs(expected, why))
                return failed(r, r.output + " does not read back to the objects of " + input +
                                     ": " + why);
            r.verified = true;
        }
        r.ok = true;
        return r;
    }

    ObjectsFileConverter::FolderResult ObjectsFileConverter::convertFolder(
        const std::string& folder, const Options& options)
    {
        FolderResult result;
        result.folder = folder;
        std::error_code ec;
        if (!fs::is_directory(folder, ec))
        {
            result.error = folder + " is not a folder";
            return result;
        }
        std::map<std::string, Form> files;
        for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        {
            const std::string path = it->path().string();
            if (it->is_regular_file(ec) && (endsWith(path, ".objects") || endsWith(path, ".objbinary")))
                files[path] = formOf(path);
        }
        if (ec)
        {
            result.error = "can not list " + folder + ": " + ec.message();
            return result;
        }
        std::set<Form> forms;
        for (const auto& file : files)
            forms.insert(file.second);
        forms.erase(Form::Missing);
        result.to = options.to;
        if (result.to == Form::Missing)
        {
            if (forms.size() > 1)
            {
                result.error = folder + " holds objects files of both forms: say which to convert "
                                        "to (--to xml or --to binary)";
                return result;
            }
            result.to = forms.count(Form::Xml) ? Form::Binary : Form::Xml;
        }
        for (const auto& file : files)
            if (file.second != result.to)
                result.files.push_back(convert(file.first, "", options));
        if (result.files.empty())
        {
            result.error = "no objects file in " + folder + " to convert to " + formName(result.to);
            return result;
        }
        result.ok = std::all_of(result.files.begin(), result.files.end(),
                                [](const Result& r) { return r.ok; });
        return result;
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
        j["dropped"] = r.dropped;
        j["verified"] = r.verified;
        j["error"] = r.error;
        return j;
    }

    nlohmann::json ObjectsFileConverter::toJson(const FolderResult& r)
    {
        nlohmann::json j;
        j["ok"] = r.ok;
        j["folder"] = r.folder;
        j["to"] = formName(r.to);
        j["converted"] = std::count_if(r.files.begin(), r.files.end(),
                                       [](const Result& f) { return f.ok; });
        j["files"] = nlohmann::json::array();
        for (const Result& file : r.files)
            j["files"].push_back(toJson(file));
        j["error"] = r.error;
        return j;
    }

    std::string ObjectsFileConverter::describe(const Result& r)
    {
        if (!r.ok)
            return r.error;
        std::string text = "converted " + std::to_string(r.objects) + " objects from " +
                           formName(r.from) + " " + r.input + " to " + r.output +
                           (r.verified ? " (read back and compared)" : "");
        for (const std::string& line : r.dropped)
            text += "\n  left behind: " + line;
        return text;
    }

    std::string ObjectsFileConverter::describe(const FolderResult& r)
    {
        if (!r.error.empty())
            return r.error;
        std::string text;
        size_t converted = 0, objects = 0;
        for (const Result& file : r.files)
        {
            text += describe(file) + "\n";
            if (file.ok)
            {
                ++converted;
                objects += file.objects;
            }
        }
        return text + "converted " + std::to_string(converted) + " of " +
               std::to_string(r.files.size()) + " objects files (" + std::to_string(objects) +
               " objects) of " + r.folder + " to " + formName(r.to);
    }
}
