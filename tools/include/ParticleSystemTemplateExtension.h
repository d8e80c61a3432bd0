#ifndef __WrenParticleSystemTemplateExtension_H__
#define __WrenParticleSystemTemplateExtension_H__

#include "MetadataTemplateExtension.h"
#include "ParticleSystemMetadata.h"

namespace Wren
{
    /** The generated "ParticleSystemGameObject" template: its data as
        ParticleSystemMetadata writes it, and the particle script that
        defines the engine templates it names, W/Media/<ScriptFile>: a
        rising smoke (HighTemplate) and a thinner one (LowTemplate), drawn
        with the engine's "BaseWhiteNoLighting". The script uses the point
        emitter and the colour fader of OGRE's ParticleFX plugin. */
    class ParticleSystemTemplateExtension : public MetadataTemplateExtension<ParticleSystemMetadata>
    {
    public:
        static const char* const ScriptFile;
        static const char* const HighTemplate;
        static const char* const LowTemplate;

        ParticleSystemTemplateExtension();

        /** The text of the script. */
        static std::string scriptText();

        bool writeFiles(const std::string& worldFolder, std::vector<std::string>& files,
                        std::string& error) const override;
    };
}

#endif
