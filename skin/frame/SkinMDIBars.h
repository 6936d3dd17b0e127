// What the skinned forms of MDI children ask of the bars on the application main form: the tabs
// bar keeps one tab per admitted child, the menu bar shows the buttons of a maximised child and
// a child's main menu. The bars implement these; a main form's TskSkinnedForm reaches them through
// its MDITabsBar property and the menu-bar link its menu bar registers (SetMDIMenuBarLink).
// GUI thread only.
#pragma once

class TCustomForm;

class TskMDITabsBarLink {
public:
  virtual ~TskMDITabsBarLink() = default;
  // A tab for Form (a child that was shown and accepted).
  virtual void AddTab(TCustomForm* Form) = 0;
  // Form's tab goes (the child was hidden); nothing when it has none.
  virtual void RemoveTab(TCustomForm* Form) = 0;
  // Form's tab is drawn again (the child's text changed).
  virtual void RepaintTab(TCustomForm* Form) = 0;
  // The active child changed, or one went: the tabs follow.
  virtual void UpdateActiveTab() = 0;
};

class TskMDIMenuBarLink {
public:
  virtual ~TskMDIMenuBarLink() = default;
  // A child was maximised: its system-menu, minimise, restore and close buttons join the bar.
  virtual void ShowMDIButtons() = 0;
  // No child is maximised any more: the buttons leave the bar.
  virtual void HideMDIButtons() = 0;
  // The active child changed or one went: a bar that shows a child's main menu or a maximised
  // child's buttons builds itself again.
  virtual void RefreshMDI() = 0;
};
