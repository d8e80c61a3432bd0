#include "CoreMetadata.h"

#include "DataElement.h"

#include <OgreLogManager.h>
#include <OgreStringConverter.h>

#include <climits>
#include <cmath>

namespace Wren
{
    namespace
    {
        const char* const SIZE_HINT_TEXTS[] = {"VeryLarge", "Large", "Medium", "Small"};

        bool isUsable(DataElementPtr& element)
        {
            return element && !element->getIsEmpty();
        }
    }

    CoreMetadata::CoreMetadata(const std::string& id, CoreGameObjectManager* manager)
        : mID(id), mManager(manager)
    {
    }

    CoreMetadata::~CoreMetadata() {}

    void CoreMetadata::setSizeHint(int sizeHint)
    {
        mSizeHint = sizeHint;
        if (mSizeHintEnum != -1)
            mSizeHintEnum = sizeHint;
    }

    std::string CoreMetadata::sizeHintToText(int sizeHint, float customHintDistanceSquared)
    {
        if (sizeHint >= SIZE_VERY_LARGE && sizeHint <= SIZE_SMALL)
            return SIZE_HINT_TEXTS[sizeHint];
        if (sizeHint != SIZE_CUSTOM)
            return "";
        double distance = std::sqrt(std::max(0.0, static_cast<double>(customHintDistanceSquared)));
        if (!(distance < static_cast<double>(INT_MAX)))
            distance = INT_MAX;
        return Ogre::StringConverter::toString(static_cast<int>(distance));
    }

    bool CoreMetadata::load(DataElementPtr& root)
    {
        if (!isUsable(root))
        {
            Ogre::LogManager::getSingleton().logMessage("CoreMetadata::load: the metadata " + mID +
                                                        " has no root element");
            return false;
        }
        mType = root->getAttributeString("ObjectType", "");
        mName = root->getAttributeString("Name", "");

        DataElementPtr coreData = root->getFirstChild("CoreData");
        if (coreData->getIsEmpty())
            return true;

        mCollidable = coreData->getAttributeBool("Collidable", false);
        mSeeThrough = coreData->getAttributeBool("SeeThrough", false);
        mHideInMiniMap = coreData->getAttributeBool("Minimap", false);
        mInstanced = coreData->getAttributeBool("Instanced", false);

        mSizeHintEnum = coreData->getAttributeInt("SizeHintEnum", -1);
        if (mSizeHintEnum != -1)
        {
            // The hint selects a row of the distance table; a number outside
            // the table is kept for saving but never used.
            if (mSizeHintEnum >= SIZE_VERY_LARGE && mSizeHintEnum <= SIZE_CUSTOM)
                mSizeHint = mSizeHintEnum;
            else
                Ogre::LogManager::getSingleton().logMessage(
                    "CoreMetadata::load: the metadata " + mID + " has the unknown SizeHintEnum " +
                    Ogre::StringConverter::toString(mSizeHintEnum) + "; the size hint stays " +
                    Ogre::StringConverter::toString(mSizeHint));
        }
        else
        {
            const std::string text = coreData->getAttributeString("SizeHint", "");
            if (!text.empty())
            {
                bool named = false;
                for (int hint = SIZE_VERY_LARGE; hint <= SIZE_SMALL && !named; ++hint)
                {
                    if (text == SIZE_HINT_TEXTS[hint])
                    {
                        mSizeHint = hint;
                        named = true;
                    }
                }
                if (!named && Ogre::StringConverter::isNumber(text))
                {
                    float distance = Ogre::StringConverter::parseReal(text);
                    if (std::isfinite(distance))
                    {
                        distance = std::max(0.0f, distance);
                        mSizeHint = SIZE_CUSTOM;
                        mCustomHintDistanceSquared = distance * distance;
                        mCustomLodSwitchDistanceSquared = distance * distance * 0.5f;
                    }
                }
            }
        }

        const float lodDistance = coreData->getAttributeFloat("LodDistance", 0.0f);
        const float lodDistanceSquared = lodDistance * lodDistance;
        if (lodDistanceSquared > 0.0f && lodDistanceSquared < mCustomLodSwitchDistanceSquared)
            mCustomLodSwitchDistanceSquared = lodDistanceSquared;

        DataElementPtr properties = coreData->getFirstChild("DynamicProperties");
        if (!properties->getIsEmpty())
        {
            for (DataElementPtr element = properties->getFirstChild("Property");
                 !element->getIsEmpty(); element = element->getNextSibling("Property"))
            {
                Property property;
                property.load(element);
                mDynamicProperties.push_back(property);
            }
        }
        return true;
    }

    bool CoreMetadata::save(DataElementPtr& root)
    {
        if (!isUsable(root))
        {
            Ogre::LogManager::getSingleton().logMessage("CoreMetadata::save: the metadata " + mID +
                                                        " was given no element to write into");
            return false;
        }
        root->setAttributeString("ObjectType", mType);
        root->setAttributeString("Name", mName);

        DataElementPtr coreData = root->createChild("CoreData");
        coreData->setAttributeBool("Collidable", mCollidable);
        coreData->setAttributeBool("SeeThrough", mSeeThrough);
        coreData->setAttributeBool("Minimap", mHideInMiniMap);
        coreData->setAttributeBool("Instanced", mInstanced);
        coreData->setAttributeInt("SizeHintEnum", mSizeHintEnum);
        if (mSizeHintEnum == -1)
            coreData->setAttributeString("SizeHint",
                                         sizeHintToText(mSizeHint, mCustomHintDistanceSquared));

        DataElementPtr properties = coreData->createChild("DynamicProperties");
        for (Property& property : mDynamicProperties)
        {
            DataElementPtr element = properties->createChild("Property");
            property.save(element);
        }
        return true;
    }

    bool CoreMetadata::save() { return true; }
}
