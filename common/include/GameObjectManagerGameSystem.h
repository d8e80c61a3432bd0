#ifndef __WrenGameObjectManagerGameSystem_H__
#define __WrenGameObjectManagerGameSystem_H__

#include "GameSystem.h"
#include "Property.h"

namespace Wren
{
    /** A game system that belongs to an object manager's world: the manager
        initialises it once, offers its properties to the editor and lets it
        save and load its settings in the world file.

        save and load receive the system's element in the world file as a
        copied handle. The base exposes no properties, writes and reads
        nothing, and returns true from both.
    */
    class WREN_COMMON_EXPORT GameObjectManagerGameSystem : public PropertyContainer,
                                                           public GameSystem
    {
    public:
        ~GameObjectManagerGameSystem() override;

        void enumerateProperties(std::vector<Property>& out) override;
        void setProperty(const std::string& id, const PropertyData& value) override;
        bool validateProperty(const std::string& id, const PropertyData& value,
                              std::string& errorMessage) override;

        /** Called once by the object manager that takes the system in. The
            base does nothing. */
        virtual void init(GameObjectManager* manager);

        /** Writes the system's settings into element. The base writes
            nothing and returns true. */
        virtual bool save(DataElementPtr element);

        /** Reads the system's settings from element. The base reads nothing
            and returns true. */
        virtual bool load(DataElementPtr element);
    };
}

#endif
