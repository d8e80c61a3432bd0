#ifndef __WrenSoundTemplateExtension_H__
#define __WrenSoundTemplateExtension_H__

#include "MetadataTemplateExtension.h"
#include "SoundMetadata.h"

namespace Wren
{
    /** The generated "SoundGameObject" template: its data as SoundMetadata
        writes it, and the sound it plays, W/Media/<SoundFile>: one second of
        a soft 330 Hz tone (mono, 16-bit WAV, 22050 samples a second, fading
        in and out so that it repeats without clicks), written with
        libsndfile. The template loops it with a second of silence between
        plays. */
    class SoundTemplateExtension : public MetadataTemplateExtension<SoundMetadata>
    {
    public:
        static const char* const SoundFile;

        SoundTemplateExtension();

        bool writeFiles(const std::string& worldFolder, std::vector<std::string>& files,
                        std::string& error) const override;
    };
}

#endif
