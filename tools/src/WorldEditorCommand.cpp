#include "WorldEditorCommand.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace Wren
{
    namespace
    {
        /** What follows a command word. */
        enum class Shape
        {
            Nothing,
            Point,        // X Y Z
            Number,       // one number
            Ray,          // OX OY OZ DX DY DZ
            NameAndPoint, // META X Y Z
            Names,        // NAME...
            Name,         // NAME
            OptionalName, // [NAME]
            NumberOrOff   // H | off
        };

        struct Entry
        {
            const char* word;
            WorldEditorCommand::Kind kind;
            Shape shape;
            const char* arguments;
        };

        const Entry gTable[] = {
            {"create", WorldEditorCommand::Create, Shape::NameAndPoint, "META X Y Z"},
            {"select", WorldEditorCommand::Select, Shape::Names, "NAME..."},
            {"select-ray", WorldEditorCommand::SelectRay, Shape::Ray, "OX OY OZ DX DY DZ"},
            {"unselect-all", WorldEditorCommand::UnselectAll, Shape::Nothing, ""},
            {"translate", WorldEditorCommand::Translate, Shape::Point, "DX DY DZ"},
            {"move", WorldEditorCommand::Move, Shape::Point, "X Y Z"},
            {"move-as-one", WorldEditorCommand::MoveAsOne, Shape::Point, "X Y Z"},
            {"rotate", WorldEditorCommand::Rotate, Shape::Number, "DEGREES"},
            {"rotate-center", WorldEditorCommand::RotateCenter, Shape::Number, "DEGREES"},
            {"scale", WorldEditorCommand::Scale, Shape::Number, "S"},
            {"clone", WorldEditorCommand::Clone, Shape::Nothing, ""},
            {"delete", WorldEditorCommand::Delete, Shape::Nothing, ""},
            {"link", WorldEditorCommand::Link, Shape::Name, "PARENT"},
            {"unlink", WorldEditorCommand::Unlink, Shape::Nothing, ""},
            {"fixed-height", WorldEditorCommand::FixedHeight, Shape::NumberOrOff, "H|off"},
            {"compound", WorldEditorCommand::Compound, Shape::Name, "NAME"},
            {"undo", WorldEditorCommand::Undo, Shape::Nothing, ""},
            {"redo", WorldEditorCommand::Redo, Shape::Nothing, ""},
            {"camera", WorldEditorCommand::Camera, Shape::Point, "X Y Z"},
            {"list", WorldEditorCommand::List, Shape::OptionalName, "[PARTITION]"},
            {"save", WorldEditorCommand::Save, Shape::OptionalName, "[NAME]"},
        };

        bool toNumber(const std::string& text, float& value)
        {
            errno = 0;
            char* end = nullptr;
            value = std::strtof(text.c_str(), &end);
            return !text.empty() && end == text.c_str() + text.size() && errno == 0 &&
                   std::isfinite(value);
        }

        /** Reads numbers from words starting at first into values. */
        bool toNumbers(const std::vector<std::string>& words, size_t first, float* values,
                       size_t count, std::string& error)
        {
            for (size_t i = 0; i < count; ++i)
                if (!toNumber(words[first + i], values[i]))
                {
                    error = "'" + words[first + i] + "' is not a number";
                    return false;
                }
            return true;
        }

        size_t argumentCount(Shape shape)
        {
            switch (shape)
            {
            case Shape::Nothing: return 0;
            case Shape::Point: return 3;
            case Shape::Number: return 1;
            case Shape::Ray: return 6;
            case Shape::NameAndPoint: return 4;
            case Shape::Name: return 1;
            case Shape::NumberOrOff: return 1;
            case Shape::Names:
            case Shape::OptionalName: break;
            }
            return 0;
        }
    }

    bool WorldEditorCommand::edits() const
    {
        switch (kind)
        {
        case Create:
        case Translate:
        case Move:
        case MoveAsOne:
        case Rotate:
        case RotateCenter:
        case Scale:
        case Clone:
        case Delete:
        case Link:
        case Unlink: return true;
        default: return false;
        }
    }

    std::vector<std::string> WorldEditorCommand::words()
    {
        std::vector<std::string> out;
        for (const Entry& entry : gTable)
            out.push_back(entry.word);
        return out;
    }

    bool WorldEditorCommand::parse(const std::string& line, WorldEditorCommand& out,
                                   std::string& error)
    {
        out = WorldEditorCommand();
        std::istringstream stream(line.substr(0, line.find('#')));
        std::vector<std::string> words;
        for (std::string word; stream >> word;)
            words.push_back(word);
        if (words.empty())
            return true;

        const Entry* entry = nullptr;
        for (const Entry& candidate : gTable)
            if (words.front() == candidate.word)
                entry = &candidate;
        if (!entry)
        {
            error = "unknown command '" + words.front() + "'";
            return false;
        }
        out.kind = entry->kind;
        out.word = entry->word;
        const size_t given = words.size() - 1;
        const bool countFits = entry->shape == Shape::Names          ? given >= 1
                               : entry->shape == Shape::OptionalName ? given <= 1
                                                                     : given == argumentCount(entry->shape);
        if (!countFits)
        {
            error = std::string(entry->word) +
                    (*entry->arguments ? std::string(" takes ") + entry->arguments
                                       : std::string(" takes no arguments"));
            return false;
        }

        float numbers[6] = {};
        switch (entry->shape)
        {
        case Shape::Nothing: break;
        case Shape::Point:
            if (!toNumbers(words, 1, numbers, 3, error))
                return false;
            out.vector = Ogre::Vector3(numbers[0], numbers[1], numbers[2]);
            break;
        case Shape::Number:
            if (!toNumbers(words, 1, &out.number, 1, error))
                return false;
            break;
        case Shape::Ray:
            if (!toNumbers(words, 1, numbers, 6, error))
                return false;
            out.vector = Ogre::Vector3(numbers[0], numbers[1], numbers[2]);
            out.direction = Ogre::Vector3(numbers[3], numbers[4], numbers[5]);
            if (out.direction.isZeroLength())
            {
                error = "select-ray needs a direction that is not zero";
                return false;
            }
            break;
        case Shape::NameAndPoint:
            out.names.push_back(words[1]);
            if (!toNumbers(words, 2, numbers, 3, error))
                return false;
            out.vector = Ogre::Vector3(numbers[0], numbers[1], numbers[2]);
            break;
        case Shape::Names:
        case Shape::Name:
        case Shape::OptionalName: out.names.assign(words.begin() + 1, words.end()); break;
        case Shape::NumberOrOff:
            out.off = words[1] == "off";
            if (!out.off && !toNumbers(words, 1, &out.number, 1, error))
                return false;
            break;
        }

        if (out.kind == Scale && !(out.number > 0.0f))
        {
            error = "scale takes a factor above 0";
            return false;
        }
        if (out.kind == Save && !out.names.empty())
        {
            const std::string& name = out.names.front();
            if (name.find_first_of("/\\") != std::string::npos || name.find("..") != std::string::npos)
            {
                error = "a world name holds no path separator and no \"..\": '" + name + "'";
                return false;
            }
        }
        return true;
    }
}
