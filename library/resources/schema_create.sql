begin transaction;
create table config (name VARCHAR, value INTEGER, UNIQUE(name));
create table media (mid INTEGER PRIMARY KEY AUTOINCREMENT, source VARCHAR COLLATE NOCASE, valid INTEGER, filesize INTEGER, filedatelow INTEGER, filedatehigh INTEGER, lastdate DATE);
create table int_tags (mid INTEGER, tag INTEGER, instance INTEGER, value INTEGER, UNIQUE(mid,tag,instance));
create table real_tags (mid INTEGER, tag INTEGER, instance INTEGER, value REAL, UNIQUE(mid,tag,instance));
create table guid_tags (mid INTEGER, tag INTEGER, instance INTEGER, value BLOB, UNIQUE(mid,tag,instance));
create table date_tags (mid INTEGER, tag INTEGER, instance INTEGER, dvalue DATE, svalue VARCHAR, UNIQUE(mid,tag,instance));
create table str_data (strid INTEGER PRIMARY KEY AUTOINCREMENT, value VARCHAR, slen INTEGER, refcnt INTEGER);
create table str_tags (mid INTEGER, tag INTEGER, instance INTEGER, strid INTEGER, UNIQUE(mid,tag,instance));
create table blob_data (blobid INTEGER PRIMARY KEY AUTOINCREMENT, value BLOB, bsize INTEGER, bcrc INTEGER, refcnt INTEGER);
create table blob_tags (mid INTEGER, tag INTEGER, instance INTEGER, blobid INTEGER, UNIQUE(mid,tag,instance));
create trigger media_removed after delete on media for each row begin
  delete from date_tags where mid=old.mid;
  delete from blob_tags where mid=old.mid;
  delete from str_tags where mid=old.mid;
  delete from guid_tags where mid=old.mid;
  delete from real_tags where mid=old.mid;
  delete from int_tags where mid=old.mid;
end;
create trigger blob_tag_removed after delete on blob_tags for each row begin
  UPDATE blob_data SET refcnt = refcnt - 1 WHERE blob_data.blobid=old.blobid;
  delete from blob_data where blob_data.blobid=old.blobid AND refcnt <= 0;
end;
create trigger blob_tag_added AFTER INSERT on blob_tags for each row begin
  UPDATE blob_data SET refcnt = refcnt + 1 WHERE blob_data.blobid=new.blobid;
end;
create trigger blob_data_removed before delete on blob_data for each row begin
  select blobremoved(old.blobid, old.value, old.bsize, old.bcrc);
end;
create trigger str_tag_removed after delete on str_tags for each row begin
  select case when stringremoved(old.tag, 0, NULL) then
    case when (select count(*) from str_tags where tag=old.tag and strid=old.strid) = 0 then
      stringremoved(old.tag, old.instance, (select value from str_data where str_data.strid=old.strid))
    end
  end;
  UPDATE str_data SET refcnt = refcnt - 1 WHERE str_data.strid=old.strid;
  delete from str_data where str_data.strid=old.strid AND refcnt <= 0;
end;
create trigger str_tag_added AFTER INSERT on str_tags for each row begin
  UPDATE str_data SET refcnt = refcnt + 1 WHERE str_data.strid=new.strid;
end;
create unique index media_source_idx on media(source);
create index int_mid_idx on int_tags(mid);
create index real_mid_idx on real_tags(mid);
create index guid_mid_idx on guid_tags(mid);
create index date_mid_idx on date_tags(mid);
create index str_mid_idx on str_tags(mid);
create index blob_mid_idx on blob_tags(mid);
create index int_tag_idx on int_tags(tag);
create index real_tag_idx on real_tags(tag);
create index guid_tag_idx on guid_tags(tag);
create index date_tag_idx on date_tags(tag);
create index str_tag_idx on str_tags(tag);
create index blob_tag_idx on blob_tags(tag);
create index str_ref_idx on str_data(refcnt);
create index blob_ref_idx on blob_data(refcnt);
create index str_len_idx on str_data(slen);
create index blob_size_idx on blob_data(bsize);
commit transaction;
