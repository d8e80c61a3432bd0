#ifndef __WrenEditorPanels_H__
#define __WrenEditorPanels_H__

#include "Property.h"

#include <imgui.h>

#include <map>
#include <string>
#include <vector>

namespace Wren
{
    class CoreGameObject;
    class WorldEditor;

    /** The Dear ImGui panels of the editor window, drawn once a frame
        between ImGui's NewFrame and the drawing of the overlay:

        - "Outliner": the loaded partitions and their objects; a click
          selects an object (Ctrl+click adds it to the selection).
        - "Inspector": the typed properties of the first selected object
          (enumerateProperties). A changed value is given to the object
          through the editor as one step of the history: numbers, vectors
          and texts when Enter is pressed in their field, a check box at
          once, a colour when its editor is let go. A refused value is
          shown in the status line.
        - "Objects": the templates of the world's "Meta" and "Media"
          folders (enumerateObjectInfos); the one picked is placed by the next
          click in the world (see getPlacing).
        - the status line: partitions loaded, objects, the frame time and
          the last message.
    */
    class EditorPanels
    {
    public:
        explicit EditorPanels(WorldEditor& editor);

        /** Draws the panels; frameSeconds is shown in the status line. */
        void draw(float frameSeconds);

        /** The last message of the editor (a command's line or error). */
        void setMessage(const std::string& message) { mMessage = message; }
        const std::string& getMessage() const { return mMessage; }

        /** The metadata ID picked in the object browser, empty for none;
            the host clears it once placed. */
        const std::string& getPlacing() const { return mPlacing; }
        void clearPlacing() { mPlacing.clear(); }

        /** Where the inspector drew the field of a property last frame, in
            window pixels: min and max corner. */
        struct Rect
        {
            ImVec2 min, max;
        };
        const std::map<std::string, Rect>& getFieldRects() const { return mFieldRects; }

    private:
        void drawOutliner();
        void drawInspector();
        void drawBrowser();
        void drawStatus(float frameSeconds);
        /** The widget of one property; true with value changed when it is
            to be applied. */
        bool drawField(const Property& property, PropertyData& value);
        void apply(CoreGameObject* obj, const std::string& id, const PropertyData& value);

        WorldEditor& mEditor;
        std::string mMessage;
        std::string mPlacing;
        std::map<std::string, Rect> mFieldRects;
        /** The templates of the browser, read once. */
        std::vector<std::pair<std::string, std::string>> mTemplates;
        bool mTemplatesRead = false;
    };
}

#endif
