#ifndef __WrenMaterialBatchTemplates_H__
#define __WrenMaterialBatchTemplates_H__

#include "WrenEnginePrerequisites.h"

#include "FxShaderInstancingManager.h"

#include <OgreMaterial.h>

namespace Ogre
{
    /** Material batch templates: the materials instanced batches are drawn
        with, and the GLSL programs behind them.

        A material may name its batching template (setTemplateName), for
        example "DefaultTemplate2"; a material script names it with a block
        in the material's first technique, once registerScriptTranslator
        has been called for the engine:
        @code
        technique
        {
            batch_template DefaultTemplate0 {}
            pass { ... }
        }
        @endcode
        The batch form of a template t is the
        material t + "_b"; a material drawn in batches becomes a clone of
        that form named material + t + "_b" (getBatchMaterial), with the
        source's textures and render states. The default templates
        "DefaultTemplate1" ... "DefaultTemplate4" (plain lit materials of one
        to four texture units), "DefaultTemplate0" for untextured materials
        that name it (no material falls back to it), and their batch forms
        are made in the group "General" by createDefaultTemplates.

        Programs (GLSL 1.20, generated here, made where the render system
        offers GLSL): the vertex programs light each vertex with the first
        light, the scene's ambient and the pass's colours, taking the world
        matrix from the renderable (the batch forms carry this one, so a
        batch material also draws an ordinary entity), from three
        per-instance texture coordinates following the mesh's own (hardware
        instancing) or from a uniform array of 60 matrices indexed by the
        blend index (shader instancing; instancedMaterial puts the
        instancing ones in); the fragment programs multiply the lit colour
        with up to four textures, all read at the first texture coordinate.

        The names live on the material's first technique, so they go with
        the material. Main thread only.
    */
    class WREN_ENGINE_EXPORT MaterialBatchTemplates
    {
    public:
        /** Suffix of the batch form of a template. */
        static const String BATCH_SUFFIX;
        /** Instances the shader technique draws at most per call. */
        static const size_t SHADER_INSTANCES_PER_BATCH = 60;

        /** The template of untextured materials, "DefaultTemplate0". */
        static const String UNTEXTURED_TEMPLATE;

        /** Makes the default templates and their batch forms unless they
            exist; the batch forms get programs where GLSL is offered. */
        static void createDefaultTemplates();
        /** Lets the engine's material scripts name batching templates (see
            the class comment); call it once the Root exists, before the
            scripts are parsed. Calling it again does no harm. Without it a
            "batch_template" block is reported by the script compiler and
            left out. */
        static void registerScriptTranslator();
        /** "DefaultTemplate1" ... "DefaultTemplate4" for 1 ... 4 texture
            units; empty for any other count. */
        static String defaultTemplateName(size_t textureUnits);

        /** The batching template the material names; empty when none. */
        static String getTemplateName(const Material& material);
        static void setTemplateName(Material& material, const String& templateName);
        /** The batch template a batch material was made from; empty when none. */
        static String getBatchTemplateName(const Material& material);
        static void setBatchTemplateName(Material& material, const String& templateName);

        /** The batch material of source for the batch template (a name
            ending in BATCH_SUFFIX): named source's name + batchTemplate and
            made on first use as a clone of the template, whose first pass
            takes source's texture names unit by unit (as 2D textures, as
            far as both have units) and source's lighting, ambient,
            diffuse, shininess, self-illumination, vertex-colour tracking,
            scene blending, depth writing, alpha rejection and culling.
            Null when source or the template has no pass. */
        static MaterialPtr getBatchMaterial(const MaterialPtr& source, const String& batchTemplate);

        /** The form of material that technique draws instanced, for a
            submesh whose first free texture coordinate is firstFreeTexCoord:
            material itself when its passes already carry that vertex
            program, else a clone (named material + "/Instanced..." and made
            once) whose passes get it, and the fragment program for their
            texture count where they have none. material itself for
            TECHNIQUE_NONE. */
        static MaterialPtr instancedMaterial(const MaterialPtr& material,
                                             FxShaderInstancingManager::Technique technique,
                                             unsigned short firstFreeTexCoord);
    };
}

#endif
