#pragma once
// Printing an editor's text (or its selection) with optional line numbers.

class EditorHost;
class QString;
class ScintillaEditor;

// Without a printer the text goes into a PDF file, named after the document
// (its path, or its caption when it has none) unless the user renames it.
void PrintEditor(EditorHost& host, ScintillaEditor& editor, const QString& document);
