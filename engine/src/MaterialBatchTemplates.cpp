#include "MaterialBatchTemplates.h"

#include <OgreGpuProgramParams.h>
#include <OgreHighLevelGpuProgram.h>
#include <OgreHighLevelGpuProgramManager.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreStringConverter.h>
#include <OgreScriptCompiler.h>
#include <OgreScriptTranslator.h>
#include <OgreTechnique.h>

#include <algorithm>

namespace Ogre
{
    const String MaterialBatchTemplates::BATCH_SUFFIX = "_b";
    const String MaterialBatchTemplates::UNTEXTURED_TEMPLATE = "DefaultTemplate0";
    const size_t MaterialBatchTemplates::SHADER_INSTANCES_PER_BATCH;

    namespace
    {
        const char* const TemplateKey = "Wren/BatchTemplate";
        const char* const BatchTemplateKey = "Wren/BatchTemplateOf";
        const char* const ProgramGroup = "General";
        const char* const ScriptBlock = "batch_template";
        const size_t MaxTextures = 4;

        String readName(const Material& material, const char* key)
        {
            if (material.getNumTechniques() == 0)
                return String();
            const Any& value = material.getTechnique(0)->getUserObjectBindings().getUserAny(key);
            return value.has_value() ? any_cast<String>(value) : String();
        }

        void writeName(Material& material, const char* key, const String& name)
        {
            if (material.getNumTechniques() > 0)
                material.getTechnique(0)->getUserObjectBindings().setUserAny(key, Any(name));
        }

        bool glslAvailable()
        {
            HighLevelGpuProgramManager* programs = HighLevelGpuProgramManager::getSingletonPtr();
            return programs && programs->isLanguageSupported("glsl");
        }

        /** Lights a vertex whose world rows r0, r1, r2 the caller has read. */
        const char* const LitBody = R"(
    vec3 worldPos = vec3(dot(r0, vertex), dot(r1, vertex), dot(r2, vertex));
    vec3 n = vec3(dot(r0.xyz, normal), dot(r1.xyz, normal), dot(r2.xyz, normal));
    n = dot(n, n) > 0.0 ? normalize(n) : vec3(0.0, 1.0, 0.0);
    vec3 toLight = normalize(lightPosition.xyz - worldPos * lightPosition.w);
    float lambert = max(dot(n, toLight), 0.0);
    litColour = vec4(emissive.rgb + ambient.rgb + diffuse.rgb * lightDiffuse.rgb * lambert, diffuse.a);
    gl_Position = viewProjMatrix * vec4(worldPos, 1.0);
}
)";

        const char* const LitUniforms = R"(#version 120
attribute vec4 vertex;
attribute vec3 normal;
uniform mat4 viewProjMatrix;
uniform vec4 lightPosition;
uniform vec4 lightDiffuse;
uniform vec4 ambient;
uniform vec4 diffuse;
uniform vec4 emissive;
varying vec4 litColour;
varying vec2 texCoord;
)";

        /** An ordinary renderable: the rows of its world matrix. */
        String plainVertexSource()
        {
            return String(LitUniforms) +
                   "attribute vec4 uv0;\nuniform mat4 worldMatrix;\n"
                   "void main()\n{\n"
                   "    mat4 rows = transpose(worldMatrix);\n"
                   "    vec4 r0 = rows[0];\n    vec4 r1 = rows[1];\n    vec4 r2 = rows[2];\n"
                   "    texCoord = uv0.xy;\n" +
                   LitBody;
        }

        /** Hardware instancing: the rows follow the mesh's texture
            coordinates, at uv<first>, uv<first + 1> and uv<first + 2>. */
        String hardwareVertexSource(unsigned short first)
        {
            const String a = "uv" + StringConverter::toString(first);
            const String b = "uv" + StringConverter::toString(first + 1);
            const String c = "uv" + StringConverter::toString(first + 2);
            String source = LitUniforms;
            if (first > 0)
                source += "attribute vec4 uv0;\n";
            source += "attribute vec4 " + a + ";\nattribute vec4 " + b + ";\nattribute vec4 " + c +
                      ";\nvoid main()\n{\n    vec4 r0 = " + a + ";\n    vec4 r1 = " + b +
                      ";\n    vec4 r2 = " + c + ";\n";
            source += first > 0 ? "    texCoord = uv0.xy;\n" : "    texCoord = vec2(0.0);\n";
            return source + LitBody;
        }

        /** Shader instancing: the rows from a uniform array, at the blend index. */
        String shaderVertexSource()
        {
            const String rows =
                StringConverter::toString(3 * MaterialBatchTemplates::SHADER_INSTANCES_PER_BATCH);
            return String(LitUniforms) +
                   "attribute vec4 uv0;\nattribute vec4 blendIndices;\n"
                   "uniform vec4 worldMatrix3x4Array[" + rows + "];\n"
                   "void main()\n{\n"
                   "    int i = int(blendIndices.x) * 3;\n"
                   "    vec4 r0 = worldMatrix3x4Array[i];\n"
                   "    vec4 r1 = worldMatrix3x4Array[i + 1];\n"
                   "    vec4 r2 = worldMatrix3x4Array[i + 2];\n"
                   "    texCoord = uv0.xy;\n" +
                   LitBody;
        }

        String fragmentSource(size_t textures)
        {
            String source = "#version 120\nvarying vec4 litColour;\nvarying vec2 texCoord;\n";
            for (size_t k = 0; k < textures; ++k)
                source += "uniform sampler2D tex" + StringConverter::toString(k) + ";\n";
            source += "void main()\n{\n    vec4 colour = litColour;\n";
            for (size_t k = 0; k < textures; ++k)
                source += "    colour *= texture2D(tex" + StringConverter::toString(k) + ", texCoord);\n";
            return source + "    gl_FragColor = colour;\n}\n";
        }

        /** The vertex program drawing with technique; TECHNIQUE_NONE names
            the one for ordinary renderables. */
        String vertexProgramName(FxShaderInstancingManager::Technique technique,
                                 unsigned short firstFreeTexCoord)
        {
            switch (technique)
            {
            case FxShaderInstancingManager::TECHNIQUE_SHADER: return "Wren/Instancing/ShaderVS";
            case FxShaderInstancingManager::TECHNIQUE_HARDWARE:
                return "Wren/Instancing/HardwareVS" + StringConverter::toString(firstFreeTexCoord);
            default: return "Wren/Instancing/PlainVS";
            }
        }

        /** The program of that name, made from source on first use. */
        void ensureProgram(const String& name, GpuProgramType type, const String& source)
        {
            HighLevelGpuProgramManager& programs = HighLevelGpuProgramManager::getSingleton();
            if (programs.resourceExists(name, ProgramGroup))
                return;
            HighLevelGpuProgramPtr program = programs.createProgram(name, ProgramGroup, "glsl", type);
            program->setSource(source);
        }

        String ensureVertexProgram(FxShaderInstancingManager::Technique technique,
                                   unsigned short firstFreeTexCoord)
        {
            const String name = vertexProgramName(technique, firstFreeTexCoord);
            ensureProgram(name, GPT_VERTEX_PROGRAM,
                          technique == FxShaderInstancingManager::TECHNIQUE_SHADER
                              ? shaderVertexSource()
                              : technique == FxShaderInstancingManager::TECHNIQUE_HARDWARE
                                    ? hardwareVertexSource(firstFreeTexCoord)
                                    : plainVertexSource());
            return name;
        }

        bool isOurFragmentProgram(const Pass& pass)
        {
            return pass.hasFragmentProgram() &&
                   StringUtil::startsWith(pass.getFragmentProgramName(), "Wren/Instancing/FS", false);
        }

        void applyPrograms(Pass& pass, FxShaderInstancingManager::Technique technique,
                           unsigned short firstFreeTexCoord)
        {
            pass.setVertexProgram(ensureVertexProgram(technique, firstFreeTexCoord));
            GpuProgramParametersSharedPtr vp = pass.getVertexProgramParameters();
            vp->setNamedAutoConstant("viewProjMatrix", GpuProgramParameters::ACT_VIEWPROJ_MATRIX);
            vp->setNamedAutoConstant("lightPosition", GpuProgramParameters::ACT_LIGHT_POSITION, 0);
            vp->setNamedAutoConstant("lightDiffuse", GpuProgramParameters::ACT_LIGHT_DIFFUSE_COLOUR,
                                     0);
            vp->setNamedAutoConstant("ambient",
                                     GpuProgramParameters::ACT_DERIVED_AMBIENT_LIGHT_COLOUR);
            vp->setNamedAutoConstant("diffuse", GpuProgramParameters::ACT_SURFACE_DIFFUSE_COLOUR);
            vp->setNamedAutoConstant("emissive", GpuProgramParameters::ACT_SURFACE_EMISSIVE_COLOUR);
            if (technique == FxShaderInstancingManager::TECHNIQUE_SHADER)
                vp->setNamedAutoConstant("worldMatrix3x4Array",
                                         GpuProgramParameters::ACT_WORLD_MATRIX_ARRAY_3x4);
            else if (technique == FxShaderInstancingManager::TECHNIQUE_NONE)
                vp->setNamedAutoConstant("worldMatrix", GpuProgramParameters::ACT_WORLD_MATRIX);

            if (pass.hasFragmentProgram() && !isOurFragmentProgram(pass))
                return;
            const size_t textures = std::min<size_t>(pass.getNumTextureUnitStates(), MaxTextures);
            const String name = "Wren/Instancing/FS" + StringConverter::toString(textures);
            ensureProgram(name, GPT_FRAGMENT_PROGRAM, fragmentSource(textures));
            pass.setFragmentProgram(name);
            GpuProgramParametersSharedPtr fp = pass.getFragmentProgramParameters();
            for (size_t k = 0; k < textures; ++k)
                fp->setNamedConstant("tex" + StringConverter::toString(k), int(k));
        }

        Pass* firstPass(const MaterialPtr& material)
        {
            if (!material || material->getNumTechniques() == 0 ||
                material->getTechnique(0)->getNumPasses() == 0)
                return nullptr;
            return material->getTechnique(0)->getPass(0);
        }

        /** A lit material of that many texture units; with programs (those
            of ordinary renderables) where GLSL is offered. */
        void makeTemplate(const String& name, size_t textures, bool programs)
        {
            MaterialManager& materials = MaterialManager::getSingleton();
            if (materials.resourceExists(name, ProgramGroup))
                return;
            MaterialPtr material = materials.create(name, ProgramGroup);
            Pass* pass = material->getTechnique(0)->getPass(0);
            for (size_t k = 0; k < textures; ++k)
                pass->createTextureUnitState();
            if (programs && glslAvailable())
                applyPrograms(*pass, FxShaderInstancingManager::TECHNIQUE_NONE, 0);
        }

        /** "batch_template NAME {}" in a technique of a material script. */
        class BatchTemplateTranslator : public ScriptTranslator
        {
        public:
            void translate(ScriptCompiler* compiler, const AbstractNodePtr& node) override
            {
                auto* block = static_cast<const ObjectAbstractNode*>(node.get());
                Technique* technique = any_cast<Technique*>(block->parent->context);
                if (block->name.empty())
                {
                    compiler->addError(ScriptCompiler::CE_STRINGEXPECTED, block->file, block->line,
                                       String(ScriptBlock) + " needs the name of a template");
                    return;
                }
                technique->getUserObjectBindings().setUserAny(TemplateKey, Any(block->name));
            }
        };

        class BatchTemplateTranslatorManager : public ScriptTranslatorManager
        {
        public:
            ScriptTranslator* getTranslator(const AbstractNodePtr& node) override
            {
                if (node->type != ANT_OBJECT || !node->parent || node->parent->type != ANT_OBJECT)
                    return nullptr;
                auto* block = static_cast<const ObjectAbstractNode*>(node.get());
                auto* parent = static_cast<const ObjectAbstractNode*>(node->parent);
                const bool ours = block->cls == ScriptBlock && parent->id == ID_TECHNIQUE;
                return ours ? &mTranslator : nullptr;
            }

        private:
            BatchTemplateTranslator mTranslator;
        };
    }

    void MaterialBatchTemplates::registerScriptTranslator()
    {
        static BatchTemplateTranslatorManager manager;
        ScriptCompilerManager* compilers = ScriptCompilerManager::getSingletonPtr();
        if (!compilers)
            return;
        // The block's word must be known, or the compiler takes it for a
        // script of an unknown kind.
        compilers->registerCustomWordId(ScriptBlock);
        compilers->removeTranslatorManager(&manager);
        compilers->addTranslatorManager(&manager);
    }

    void MaterialBatchTemplates::createDefaultTemplates()
    {
        makeTemplate(UNTEXTURED_TEMPLATE, 0, false);
        makeTemplate(UNTEXTURED_TEMPLATE + BATCH_SUFFIX, 0, true);
        for (size_t textures = 1; textures <= MaxTextures; ++textures)
        {
            const String name = defaultTemplateName(textures);
            makeTemplate(name, textures, false);
            makeTemplate(name + BATCH_SUFFIX, textures, true);
        }
    }

    String MaterialBatchTemplates::defaultTemplateName(size_t textureUnits)
    {
        if (textureUnits < 1 || textureUnits > MaxTextures)
            return String();
        return "DefaultTemplate" + StringConverter::toString(textureUnits);
    }

    String MaterialBatchTemplates::getTemplateName(const Material& material)
    {
        return readName(material, TemplateKey);
    }

    void MaterialBatchTemplates::setTemplateName(Material& material, const String& templateName)
    {
        writeName(material, TemplateKey, templateName);
    }

    String MaterialBatchTemplates::getBatchTemplateName(const Material& material)
    {
        return readName(material, BatchTemplateKey);
    }

    void MaterialBatchTemplates::setBatchTemplateName(Material& material,
                                                      const String& templateName)
    {
        writeName(material, BatchTemplateKey, templateName);
    }

    MaterialPtr MaterialBatchTemplates::getBatchMaterial(const MaterialPtr& source,
                                                         const String& batchTemplate)
    {
        Pass* from = firstPass(source);
        if (!from)
            return MaterialPtr();
        MaterialManager& materials = MaterialManager::getSingleton();
        const String name = source->getName() + batchTemplate;
        MaterialPtr batch = materials.getByName(name, source->getGroup());
        if (batch)
            return batch;
        // The default templates go with their resource group; they come back here.
        createDefaultTemplates();
        MaterialPtr templateMaterial = materials.getByName(batchTemplate);
        if (!firstPass(templateMaterial))
            return MaterialPtr();
        batch = templateMaterial->clone(name, true, source->getGroup());
        Pass* to = firstPass(batch);
        const size_t units = std::min(to->getNumTextureUnitStates(), from->getNumTextureUnitStates());
        for (size_t k = 0; k < units; ++k)
            to->getTextureUnitState(k)->setTextureName(from->getTextureUnitState(k)->getTextureName(),
                                                       TEX_TYPE_2D);
        to->setLightingEnabled(from->getLightingEnabled());
        to->setAmbient(from->getAmbient());
        to->setDiffuse(from->getDiffuse());
        to->setShininess(from->getShininess());
        to->setSelfIllumination(from->getSelfIllumination());
        to->setVertexColourTracking(from->getVertexColourTracking());
        to->setSceneBlending(from->getSourceBlendFactor(), from->getDestBlendFactor());
        to->setDepthWriteEnabled(from->getDepthWriteEnabled());
        to->setAlphaRejectSettings(from->getAlphaRejectFunction(), from->getAlphaRejectValue());
        to->setCullingMode(from->getCullingMode());
        setBatchTemplateName(*batch, batchTemplate);
        return batch;
    }

    MaterialPtr MaterialBatchTemplates::instancedMaterial(
        const MaterialPtr& material, FxShaderInstancingManager::Technique technique,
        unsigned short firstFreeTexCoord)
    {
        if (technique == FxShaderInstancingManager::TECHNIQUE_NONE || !firstPass(material) ||
            !glslAvailable())
            return material;
        const String program = vertexProgramName(technique, firstFreeTexCoord);
        bool ready = true;
        for (Technique* t : material->getTechniques())
            for (Pass* pass : t->getPasses())
                ready = ready && pass->hasVertexProgram() && pass->getVertexProgramName() == program;
        if (ready)
            return material;

        MaterialManager& materials = MaterialManager::getSingleton();
        const String name = material->getName() + "/Instanced" + program.substr(program.rfind('/') + 1);
        MaterialPtr instanced = materials.getByName(name, material->getGroup());
        if (instanced)
            return instanced;
        instanced = material->clone(name, true, material->getGroup());
        for (Technique* t : instanced->getTechniques())
            for (Pass* pass : t->getPasses())
                applyPrograms(*pass, technique, firstFreeTexCoord);
        return instanced;
    }
}
