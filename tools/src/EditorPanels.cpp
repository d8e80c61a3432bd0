#include "EditorPanels.h"

#include "WorldEditor.h"

#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Wren
{
    namespace
    {
        const float kSideWidth = 300.0f;
        const float kStatusHeight = 26.0f;
        const ImGuiWindowFlags kPanel = ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
                                        ImGuiWindowFlags_NoCollapse;

        void place(const ImVec2& pos, const ImVec2& size)
        {
            ImGui::SetNextWindowPos(pos, ImGuiCond_Always);
            ImGui::SetNextWindowSize(size, ImGuiCond_Always);
        }
    }

    EditorPanels::EditorPanels(WorldEditor& editor) : mEditor(editor) {}

    void EditorPanels::draw(float frameSeconds)
    {
        mFieldRects.clear();
        drawOutliner();
        drawInspector();
        drawBrowser();
        drawStatus(frameSeconds);
    }

    void EditorPanels::drawOutliner()
    {
        const ImVec2 display = ImGui::GetIO().DisplaySize;
        place(ImVec2(0, 0), ImVec2(kSideWidth * 0.8f, display.y - kStatusHeight));
        if (ImGui::Begin("Outliner", nullptr, kPanel))
        {
            CoreGameObjectManager* manager = mEditor.getManager();
            const std::vector<CoreGameObject*> selected = mEditor.selection();
            for (CorePartition* p : manager->getPartitionManager()->GetLoadPartitions())
            {
                if (!ImGui::TreeNode(p->getID().c_str()))
                    continue;
                for (CoreGameObject* obj : p->getObjects())
                {
                    const bool isSelected =
                        std::find(selected.begin(), selected.end(), obj) != selected.end();
                    if (!ImGui::Selectable(obj->getName().c_str(), isSelected))
                        continue;
                    if (ImGui::GetIO().KeyCtrl)
                        manager->selectObject(obj);
                    else
                        mEditor.selectOnly({obj});
                }
                ImGui::TreePop();
            }
        }
        ImGui::End();
    }

    void EditorPanels::drawInspector()
    {
        const ImVec2 display = ImGui::GetIO().DisplaySize;
        const float height = (display.y - kStatusHeight) * 0.6f;
        place(ImVec2(display.x - kSideWidth, 0), ImVec2(kSideWidth, height));
        if (ImGui::Begin("Inspector", nullptr, kPanel))
        {
            const std::vector<CoreGameObject*> selected = mEditor.selection();
            if (selected.empty())
                ImGui::TextDisabled("nothing selected");
            else
            {
                CoreGameObject* obj = selected.front();
                ImGui::Text("%s  (%s)", obj->getName().c_str(), obj->getObjectType().c_str());
                if (selected.size() > 1)
                    ImGui::TextDisabled("and %zu more", selected.size() - 1);
                std::vector<Property> properties;
                obj->enumerateProperties(properties);
                ImGui::PushItemWidth(-110.0f);
                for (const Property& property : properties)
                {
                    PropertyData value = property.data;
                    ImGui::PushID(property.id.c_str());
                    const bool changed = drawField(property, value);
                    mFieldRects[property.id] = Rect{ImGui::GetItemRectMin(), ImGui::GetItemRectMax()};
                    ImGui::PopID();
                    if (changed)
                    {
                        apply(obj, property.id, value);
                        break;
                    }
                }
                ImGui::PopItemWidth();
            }
        }
        ImGui::End();
    }

    bool EditorPanels::drawField(const Property& property, PropertyData& value)
    {
        const char* label = property.name.empty() ? property.id.c_str() : property.name.c_str();
        const ImGuiInputTextFlags enter =
            ImGuiInputTextFlags_EnterReturnsTrue |
            (property.readOnly ? ImGuiInputTextFlags_ReadOnly : ImGuiInputTextFlags_None);
        switch (property.data.dataType)
        {
        case DataType::Float:
            return ImGui::InputFloat(label, &value.floatVal, 0, 0, "%.3f", enter);
        case DataType::Int: return ImGui::InputInt(label, &value.intVal, 0, 0, enter);
        case DataType::Bool:
            return ImGui::Checkbox(label, &value.boolVal) && !property.readOnly;
        case DataType::Vector:
            return ImGui::InputFloat3(label, value.vectorVal.ptr(), "%.3f", enter);
        case DataType::Colour:
            ImGui::ColorEdit4(label, value.colourVal.ptr());
            return ImGui::IsItemDeactivatedAfterEdit() && !property.readOnly;
        case DataType::String:
        {
            char text[512];
            std::snprintf(text, sizeof text, "%s", value.stringVal.c_str());
            if (!ImGui::InputText(label, text, sizeof text, enter))
                return false;
            value.stringVal = text;
            return true;
        }
        default: ImGui::LabelText(label, "(unknown type)"); return false;
        }
    }

    void EditorPanels::apply(CoreGameObject* obj, const std::string& id, const PropertyData& value)
    {
        std::string error;
        if (mEditor.setProperty(obj, id, value, error))
            mMessage = "set " + id + " of " + obj->getName();
        else
            mMessage = id + " refused: " + error;
    }

    void EditorPanels::drawBrowser()
    {
        const ImVec2 display = ImGui::GetIO().DisplaySize;
        const float top = (display.y - kStatusHeight) * 0.6f;
        place(ImVec2(display.x - kSideWidth, top),
              ImVec2(kSideWidth, display.y - kStatusHeight - top));
        if (ImGui::Begin("Objects", nullptr, kPanel))
        {
            if (!mTemplatesRead)
            {
                std::vector<GameObjectManager::GameObjectInfo> infos;
                for (const char* folder : {"/Meta", "/Media"})
                    mEditor.getManager()->enumerateObjectInfos(mEditor.getFolder() + folder, infos);
                for (const auto& info : infos)
                    mTemplates.emplace_back(info.fileName, info.name);
                mTemplatesRead = true;
            }
            for (const auto& entry : mTemplates)
            {
                const std::string label = entry.second.empty() ? entry.first
                                                               : entry.second + "  " + entry.first;
                if (ImGui::Selectable(label.c_str(), mPlacing == entry.first))
                    mPlacing = mPlacing == entry.first ? std::string() : entry.first;
            }
            if (!mPlacing.empty())
                ImGui::TextDisabled("click in the world to place it");
        }
        ImGui::End();
    }

    void EditorPanels::drawStatus(float frameSeconds)
    {
        const ImVec2 display = ImGui::GetIO().DisplaySize;
        place(ImVec2(0, display.y - kStatusHeight), ImVec2(display.x, kStatusHeight));
        if (ImGui::Begin("Status", nullptr,
                         kPanel | ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoScrollbar))
        {
            CoreGameObjectManager* manager = mEditor.getManager();
            const CorePartitionManager::PartitionList& loaded =
                manager->getPartitionManager()->GetLoadPartitions();
            size_t objects = 0;
            for (const CorePartition* p : loaded)
                objects += p->getObjects().size();
            ImGui::Text("%zu partitions loaded   %zu objects   %.1f ms   %s", loaded.size(),
                        objects, frameSeconds * 1000.0f, mMessage.c_str());
        }
        ImGui::End();
    }
}
