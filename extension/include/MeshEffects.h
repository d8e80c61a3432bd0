#ifndef __WrenMeshEffects_H__
#define __WrenMeshEffects_H__

#include "WrenExtensionPrerequisites.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <map>
#include <string>
#include <vector>

namespace Ogre
{
    class SceneManager;
    class SceneNode;
}

class FxEffect;

namespace Wren
{
    /** The effects bound to one mesh object and its strike points.

        create instantiates every effect record of the template through
        FxEffectManager (logic type 8): a record without bone name hangs
        under the mesh node; one with a bone name that is not bound to the
        bone hangs under the strike node object name + "_" + bone name,
        placed by the strike item of that name (origin without one); one
        bound to a bone gets no parent. Each then takes its record's offset.
        Strike nodes are children of the mesh node and live until
        destroyStrikeNodes.
    */
    class WREN_EXTENSION_EXPORT MeshEffects
    {
    public:
        bool empty() const { return mEffects.empty(); }
        const std::vector<FxEffect*>& getEffects() const { return mEffects; }

        void create(const MeshMetadata& metadata, const std::string& objectName,
                    Ogre::SceneNode* meshNode);
        /** Takes every effect out of the effect manager. */
        void remove();

        /** The strike node of that name, made under meshNode when missing;
            null without a mesh node. */
        Ogre::SceneNode* createStrikeNode(Ogre::SceneNode* meshNode, const std::string& name,
                                          const Ogre::Vector3& position,
                                          const Ogre::Quaternion& orientation);
        /** The strike node of that name, or null. */
        Ogre::SceneNode* getStrikeNode(const std::string& name) const;
        void destroyStrikeNodes(Ogre::SceneManager* scene);

    private:
        std::vector<FxEffect*> mEffects;
        std::map<std::string, Ogre::SceneNode*> mStrikeNodes;
    };
}

#endif
