#include "ParticleSystemTemplateExtension.h"

#include "AtomicFile.h"

#include <sstream>

namespace Wren
{
    const char* const ParticleSystemTemplateExtension::ScriptFile = "SampleWorld.particle";
    const char* const ParticleSystemTemplateExtension::HighTemplate = "SampleWorld/Smoke";
    const char* const ParticleSystemTemplateExtension::LowTemplate = "SampleWorld/Wisp";

    ParticleSystemTemplateExtension::ParticleSystemTemplateExtension()
    {
        metadata.setTemplates(HighTemplate, "", LowTemplate);
    }

    std::string ParticleSystemTemplateExtension::scriptText()
    {
        std::ostringstream text;
        auto system = [&text](const char* name, int quota, int rate) {
            text << "particle_system " << name << "\n{\n"
                 << "    material BaseWhiteNoLighting\n"
                 << "    particle_width 0.6\n    particle_height 0.6\n"
                 << "    quota " << quota << "\n    billboard_type point\n"
                 << "    emitter Point\n    {\n"
                 << "        direction 0 1 0\n        angle 20\n"
                 << "        emission_rate " << rate << "\n"
                 << "        time_to_live 3\n        velocity 1.5\n"
                 << "        colour 0.7 0.7 0.7\n    }\n"
                 << "    affector ColourFader\n    {\n"
                 << "        red -0.2\n        green -0.2\n        blue -0.2\n    }\n}\n\n";
        };
        text << "// The particle templates of the sample world's smoke.\n\n";
        system(HighTemplate, 60, 20);
        system(LowTemplate, 15, 5);
        return text.str();
    }

    bool ParticleSystemTemplateExtension::writeFiles(const std::string& worldFolder,
                                                     std::vector<std::string>& files,
                                                     std::string& error) const
    {
        const std::string folder = makeFolder(worldFolder, WorldGenerator::MediaFolder, error);
        if (folder.empty())
            return false;
        const std::string path = folder + "/" + ScriptFile;
        const std::string text = scriptText();
        if (!AtomicFile::write(path, text.data(), text.size()))
        {
            error = "can not write " + path;
            return false;
        }
        files.push_back(path);
        return true;
    }
}
