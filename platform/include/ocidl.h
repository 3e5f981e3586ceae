// Connection points: how an object's events reach the sinks that advise it (the hosted media
// control's event interface).
#pragma once
#include "oaidl.h"

DEFINE_GUID(IID_IConnectionPointContainer, 0xB196B284, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
DEFINE_GUID(IID_IEnumConnectionPoints, 0xB196B285, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
DEFINE_GUID(IID_IConnectionPoint, 0xB196B286, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
DEFINE_GUID(IID_IEnumConnections, 0xB196B287, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);

interface IConnectionPoint;
interface IConnectionPointContainer;

typedef struct tagCONNECTDATA {
  IUnknown* pUnk;
  DWORD dwCookie;
} CONNECTDATA, *LPCONNECTDATA;

interface IEnumConnections : public IUnknown {
  STDMETHOD(Next)(ULONG count, CONNECTDATA* connections, ULONG* fetched) PURE;
  STDMETHOD(Skip)(ULONG count) PURE;
  STDMETHOD(Reset)() PURE;
  STDMETHOD(Clone)(IEnumConnections** clone) PURE;
};

interface IEnumConnectionPoints : public IUnknown {
  STDMETHOD(Next)(ULONG count, IConnectionPoint** points, ULONG* fetched) PURE;
  STDMETHOD(Skip)(ULONG count) PURE;
  STDMETHOD(Reset)() PURE;
  STDMETHOD(Clone)(IEnumConnectionPoints** clone) PURE;
};

interface IConnectionPoint : public IUnknown {
  STDMETHOD(GetConnectionInterface)(IID* iid) PURE;
  STDMETHOD(GetConnectionPointContainer)(IConnectionPointContainer** container) PURE;
  STDMETHOD(Advise)(IUnknown* sink, DWORD* cookie) PURE;
  STDMETHOD(Unadvise)(DWORD cookie) PURE;
  STDMETHOD(EnumConnections)(IEnumConnections** connections) PURE;
};

interface IConnectionPointContainer : public IUnknown {
  STDMETHOD(EnumConnectionPoints)(IEnumConnectionPoints** points) PURE;
  STDMETHOD(FindConnectionPoint)(REFIID riid, IConnectionPoint** point) PURE;
};
