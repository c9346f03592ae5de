#pragma once
// Printing an editor's text (or its selection) with optional line numbers.

class EditorHost;
class ScintillaEditor;

void PrintEditor(EditorHost& host, ScintillaEditor& editor);
