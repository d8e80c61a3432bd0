#ifndef __WrenWorldEditorCommand_H__
#define __WrenWorldEditorCommand_H__

#include <OgreVector.h>

#include <string>
#include <vector>

namespace Wren
{
    /** One line of an editor script, read and checked without a scene.

        A line holds a command and its arguments separated by blanks; "#"
        starts a comment that runs to the end of the line, and a line that
        is blank once the comment is gone is no command (kind None).

        | command | arguments | |
        |---|---|---|
        | create | META X Y Z | a new object from the metadata META at (X, Y, Z) |
        | select | NAME... | exactly these objects become the selection |
        | select-ray | OX OY OZ DX DY DZ | the object a ray from O along D hits |
        | unselect-all | | |
        | translate | DX DY DZ | the selection moves by D |
        | move | X Y Z | the selection's centre moves to (X, Y, Z) |
        | move-as-one | X Y Z | every selected object moves to (X, Y, Z) |
        | rotate | DEGREES | each selected object turns about its y axis |
        | rotate-center | DEGREES | the selection turns about its centre (world y) |
        | scale | S | each selected object's scale is multiplied by S |
        | clone | | |
        | delete | | |
        | link | PARENT | the selection becomes children of PARENT |
        | unlink | | |
        | fixed-height | H or off | moves keep the height H |
        | compound | NAME | the first selected object saved as compound NAME |
        | undo, redo | | |
        | camera | X Y Z | the player camera moves; partitions stream there |
        | list | [PARTITION] | the objects of the loaded partitions (or of one) |
        | save | [NAME] | the world, under its name or as NAME |

        Numbers are decimal (finite); names have no blanks. A world name
        given to save holds no path separator and no "..".
    */
    struct WorldEditorCommand
    {
        enum Kind
        {
            None,
            Create,
            Select,
            SelectRay,
            UnselectAll,
            Translate,
            Move,
            MoveAsOne,
            Rotate,
            RotateCenter,
            Scale,
            Clone,
            Delete,
            Link,
            Unlink,
            FixedHeight,
            Compound,
            Undo,
            Redo,
            Camera,
            List,
            Save
        };

        Kind kind = None;
        /** The command word as written. */
        std::string word;
        /** The text arguments: META, NAMEs, PARENT, NAME, PARTITION. */
        std::vector<std::string> names;
        /** The point or vector: (X, Y, Z), D, or the ray's origin. */
        Ogre::Vector3 vector = Ogre::Vector3::ZERO;
        /** The ray's direction of select-ray. */
        Ogre::Vector3 direction = Ogre::Vector3::ZERO;
        /** DEGREES, S or H. */
        float number = 0.0f;
        /** fixed-height off. */
        bool off = false;

        /** Whether the command changes the world (one step of the history). */
        bool edits() const;

        /** Reads one line into out; false, with a message in error, for an
            unknown command or arguments that do not fit it. */
        static bool parse(const std::string& line, WorldEditorCommand& out, std::string& error);
        /** The command words, in the order of the table. */
        static std::vector<std::string> words();
    };
}

#endif
