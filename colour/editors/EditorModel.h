#pragma once

// The base of the colour editors' models. While an editor fills in its controls from its model, the change
// notifications this causes must not count as edits (nor recolour the picture): each model has its own
// flag for that, set for the length of a FillingScope.
namespace colour::editors {

class EditorModel {
public:
    // True while the editor fills in its controls.
    bool filling() const { return m_filling; }

    class FillingScope {
    public:
        explicit FillingScope(EditorModel& model) : m_model(model), m_previous(model.m_filling)
        {
            model.m_filling = true;
        }
        ~FillingScope() { m_model.m_filling = m_previous; }
        FillingScope(const FillingScope&) = delete;
        FillingScope& operator=(const FillingScope&) = delete;

    private:
        EditorModel& m_model;
        bool m_previous;
    };

protected:
    ~EditorModel() = default;

private:
    bool m_filling = false;
};

}  // namespace colour::editors
